// The inside of our dinput.dll (remote_direct_input.cpp, remote_device.cpp).
#pragma once

#include "tests/support/remote_pad.h"

// A new device object for the pad, with one reference.
IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad);

// Appends the call to the block's log; returns result.
inline HRESULT RemotePadLogCall(RemotePadBlock* block, RemoteCall call, int device, HRESULT result)
{
    LONG n = InterlockedIncrement(&block->logNext) - 1;
    InterlockedExchange(&block->log[n % RemotePadLogSize], RemotePadLogEntry(call, device, result));
    return result;
}
