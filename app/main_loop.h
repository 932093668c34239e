// The application's one loop: poll the pad every 10 ms, run the help and
// purchase actions, end on a close request.
#pragma once

#include <cstdint>

// Loop state, zero when the program starts.
extern int32_t eventCode;
extern int32_t quitRequested;
extern intptr_t eventGadget;

// Returns after the pass that saw a CloseEvent, with no key left held.
void MainLoop();

// One pass: wait up to 10 ms for an event and act on it; poll the pad when
// no event came or 10 ms have passed since the last poll.
void MainLoopPass();
