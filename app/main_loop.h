// The application's one loop: poll the pad on idle passes, run the help and
// purchase actions, end on a close request.
#pragma once

#include <cstdint>

// Loop state, zero when the program starts.
extern int32_t eventCode;
extern int32_t quitRequested;
extern intptr_t eventGadget;

// Returns after the pass that saw a CloseEvent, with no key left held.
void MainLoop();

// One pass: wait up to 10 ms for an event and act on it.
void MainLoopPass();
