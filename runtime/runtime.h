// The runtime's one start and one end: every library in the order they
// depend on each other. Someone adding a library adds it here.
#pragma once

// Takes the instance handle, creates the MainHeap, then starts strings,
// lists, fonts, windows, gadgets, the image decoder registry, and the common
// controls and COM for this thread. The joystick library is started by the
// caller, which decides what a missing pad means.
void RuntimeStart();

// Ends joysticks, gadgets, windows (with their gadgets' controls), fonts and
// lists, each finding what it releases, then forgets every table and state
// record and destroys the MainHeap that holds them. The StringHeap, the
// ListHeap and COM end with the process; RuntimeStart may run again.
void RuntimeEnd();
