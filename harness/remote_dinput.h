// The inside of our dinput.dll (remote_direct_input.cpp, remote_device.cpp).
#pragma once

#include "harness/remote_pad.h"

// From now until the DLL is unloaded, the process's timeBeginPeriod,
// timeEndPeriod and SetProcessInformation only note their calls in the
// block's timerCalls.
void RemoteTimerWatch(RemotePadBlock* block);
void RemoteTimerUnwatch();

// A new device object for the pad, with one reference.
IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad);

inline bool IsDirectInput(REFIID iid)
{
    return iid == IID_IDirectInputA || iid == IID_IDirectInput2A || iid == IID_IDirectInput7A;
}

inline bool IsDirectInputDevice(REFIID iid)
{
    return iid == IID_IDirectInputDeviceA || iid == IID_IDirectInputDevice2A || iid == IID_IDirectInputDevice7A;
}

// IUnknown as both of our objects answer it: each reference is counted in
// the object and in the block's word for its kind, and each call is logged
// under the object's pad (-1 for DirectInput itself).
template <typename Interface, bool (*Serves)(REFIID)>
struct RemoteUnknown : Interface {
    RemotePadBlock* block;
    int device;
    LONG refs = 1;

    RemoteUnknown(RemotePadBlock* owner, int pad) : block(owner), device(pad) { InterlockedIncrement(Users()); }
    virtual ~RemoteUnknown() = default;

    LONG* Users() { return device < 0 ? &block->directInputRefs : &block->devices[device].refs; }
    HRESULT Log(RemoteCall call, HRESULT result) { return RemotePadLogCall(block, call, device, result); }
    HRESULT Unsupported() { return Log(RemoteCallOther, E_NOTIMPL); }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!out)
            return Log(RemoteCallOther, E_POINTER);
        *out = iid == IID_IUnknown || Serves(iid) ? this : nullptr;
        if (!*out)
            return Log(RemoteCallOther, E_NOINTERFACE);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        Log(RemoteCallOther, S_OK);
        InterlockedIncrement(Users());
        return ++refs;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        Log(device < 0 ? RemoteCallDirectInputRelease : RemoteCallDeviceRelease, S_OK);
        InterlockedDecrement(Users());
        ULONG left = --refs;
        if (left == 0)
            delete this;
        return left;
    }
};

// The methods the joystick library has no business calling.
#define REMOTE_UNSUPPORTED(method, ...) STDMETHOD(method)(__VA_ARGS__) override { return Unsupported(); }
