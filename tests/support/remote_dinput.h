// The inside of our dinput.dll (remote_direct_input.cpp, remote_device.cpp).
#pragma once

#include "tests/support/remote_pad.h"

// A new device object for the pad, with one reference; the pad's records of
// what its device was handed start afresh.
IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad);
