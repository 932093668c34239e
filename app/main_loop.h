// The application's one loop: poll the pad every 10 ms, run the help and
// purchase actions, end on a close request.
#pragma once

#include <cstdint>

// Loop state, zero when the program starts.
extern int32_t eventCode;
extern int32_t quitRequested;
extern intptr_t eventGadget;

// Returns after the pass that saw a CloseEvent, with no key left held. 1 ms
// timers are asked for from just before the first pass to just after the
// last (timer_resolution.h).
void MainLoop();

// One pass: wait for an event until the next poll is due, at most 10 ms,
// and act on it; poll the pad when 10 ms have passed since the last poll,
// and never sooner. MainLoop sets up the clock it reads.
void MainLoopPass();
