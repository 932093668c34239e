// The program's module handle, taken by the entry routine before anything
// else; used for window classes, the gadget-list property and DirectInput.
#pragma once

#include <windows.h>

extern HINSTANCE InstanceHandle;
