// Numbered access to the attached joysticks through DirectInput 7.
#pragma once

#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

#include "runtime/core/object_table.h"

// Number of joysticks set up; 0 without DirectInput, on a failed
// enumeration or with none attached.
int JoystickInit();
// 1 when a fresh snapshot was taken, else 0.
int JoystickExamine(ObjectId joystick);
// -1, 0 or +1 from the last snapshot; beyond +-500 counts as deflected.
int JoystickReadAxisX(ObjectId joystick);
int JoystickReadAxisY(ObjectId joystick);
// 128 while button (1 to 32) is pressed in the last snapshot, else 0.
int JoystickReadButton(ObjectId joystick, int button);
// Releases every joystick and DirectInput, and forgets the table: a later
// JoystickInit starts afresh.
void JoystickEndAll();

// How many opens of DirectInput are not yet closed; the tests read it.
int DirectInputUsers();
