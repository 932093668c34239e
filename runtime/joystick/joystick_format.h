// The library's own copy of DirectInput's standard joystick data format and
// the GUIDs it names, so that nothing links DirectInput's import libraries.
#pragma once

#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

// c_dfDIJoystick, IID_IDirectInput7A, IID_IDirectInputDevice7A and the
// axis GUIDs are declared by <dinput.h> and defined in joystick_format.cpp.
