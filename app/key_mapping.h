// Turns joystick 0 into arrow-key and Space-bar events.
#pragma once

#include <atomic>

// 1 from just before the key's key-down is injected until its key-up is.
// The crash filter reads them on whichever thread faulted.
extern std::atomic<int> upHeld;
extern std::atomic<int> downHeld;
extern std::atomic<int> leftHeld;
extern std::atomic<int> rightHeld;
extern std::atomic<int> spaceHeld;

// One pass: a snapshot of joystick 0, then the five key rules in order. A
// failed snapshot reads as a centred stick and a released button. While
// no game can take the keys (Keyvane's own window in front, or after a
// crash), the pad is still read but the pass presses nothing and lets go
// of what is held.
void KeyMappingPoll();

// Injects the key-up of every held key, in the rules' order, with the
// arguments of its key-down but KEYEVENTF_KEYUP added, and clears its flag,
// so that suspending the mapping, the help box, quitting or a crash leaves
// no key stuck.
void KeyMappingReleaseHeld();
