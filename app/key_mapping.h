// Turns joystick 0 into arrow-key and Space-bar events.
#pragma once

// 1 from the pass that injected the key's key-down until the pass that
// injects its key-up.
extern int upHeld;
extern int downHeld;
extern int leftHeld;
extern int rightHeld;
extern int spaceHeld;

// One pass: a snapshot of joystick 0, then the five key rules in order. A
// failed snapshot reads as a centred stick and a released button.
void KeyMappingPoll();

// Injects the key-up of every held key, in the rules' order, with the
// arguments of its key-down but KEYEVENTF_KEYUP added, and clears its flag,
// so that suspending the mapping, the help box, quitting or a crash leaves
// no key stuck.
void KeyMappingReleaseHeld();
