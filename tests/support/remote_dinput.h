// The DirectInput that dinput.dll serves from a remote pad block
// (remote_pad.h) to a program that holds no simulation of its own.
#pragma once

#include "tests/support/remote_pad.h"

// DirectInputCreateEx against the block named by KEYVANE_PAD; without one
// the pointer stays null. The block stays mapped until RemoteDetach.
HRESULT RemoteDirectInputCreate(DWORD version, REFIID iid, void** out, IUnknown* outer);
void RemoteDetach();

// A new device object for the pad, with one reference.
IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad);
