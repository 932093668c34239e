// The IDirectInputDevice7A that dinput.dll serves for one pad of the pad
// block: it answers as DirectInput 7 does for the calls the joystick
// library makes, refuses what DirectInput would refuse, and hands over the
// state the driver wrote.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tests/support/remote_dinput.h"

namespace {

// The MAKEDIPROP number of DIPROP_RANGE.
constexpr uintptr_t PropertyRange = 4;

bool TakeReadFailure(RemotePadDevice& pad)
{
    for (;;) {
        LONG left = RemotePadRead(&pad.failReads);
        if (left <= 0)
            return false;
        if (InterlockedCompareExchange(&pad.failReads, left - 1, left) == left)
            return true;
    }
}

bool ReadState(RemotePadDevice& pad, DIJOYSTATE* out)
{
    // A reader that keeps meeting a write gives up rather than hang on a
    // driver that died half-way through one.
    for (int i = 0; i < 10000; ++i) {
        LONG before = RemotePadRead(&pad.stateSequence);
        if (!(before & 1)) {
            std::memcpy(out, &pad.state, sizeof(DIJOYSTATE));
            if (RemotePadRead(&pad.stateSequence) == before)
                return true;
        }
        SwitchToThread();
    }
    return false;
}

// The state is handed over as is, so only DirectInput's own standard
// joystick format, object by object, is accepted.
bool IsStandardJoystickFormat(const DIDATAFORMAT& format)
{
    const DIDATAFORMAT& standard = c_dfDIJoystick;
    if (format.dwSize != standard.dwSize || format.dwObjSize != standard.dwObjSize ||
        format.dwFlags != standard.dwFlags || format.dwDataSize != standard.dwDataSize ||
        format.dwNumObjs != standard.dwNumObjs || !format.rgodf)
        return false;
    for (DWORD i = 0; i < standard.dwNumObjs; ++i) {
        const DIOBJECTDATAFORMAT &a = format.rgodf[i], &b = standard.rgodf[i];
        if (!a.pguid != !b.pguid || (a.pguid && *a.pguid != *b.pguid) || a.dwOfs != b.dwOfs ||
            a.dwType != b.dwType || a.dwFlags != b.dwFlags)
            return false;
    }
    return true;
}

struct RemoteDevice final : IDirectInputDevice7A {
    RemotePadBlock* block;
    int pad;
    LONG refs = 1;
    bool formatSet = false;
    bool acquired = false;

    RemoteDevice(RemotePadBlock* owner, int number) : block(owner), pad(number) {}

    RemotePadDevice& Pad() { return block->devices[pad]; }
    bool Attached() { return RemotePadRead(&Pad().attached) != 0; }
    HRESULT Log(RemoteCall call, HRESULT result) { return RemotePadLogCall(block, call, pad, result); }
    HRESULT Unsupported() { return Log(RemoteCallOther, E_NOTIMPL); }
    HRESULT Fault(HRESULT RemotePadFaults::*step) { return RemotePadRead(&(Pad().faults.*step)); }

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!out)
            return Log(RemoteCallOther, E_POINTER);
        bool known = iid == IID_IUnknown || iid == IID_IDirectInputDeviceA || iid == IID_IDirectInputDevice2A ||
                     iid == IID_IDirectInputDevice7A;
        *out = known ? this : nullptr;
        if (!known)
            return Log(RemoteCallOther, E_NOINTERFACE);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        Log(RemoteCallOther, S_OK);
        InterlockedIncrement(&Pad().refs);
        return ++refs;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        Log(RemoteCallDeviceRelease, S_OK);
        InterlockedDecrement(&Pad().refs);
        ULONG left = --refs;
        if (left == 0) {
            SetAcquired(false);
            delete this;
        }
        return left;
    }
    void SetAcquired(bool now)
    {
        if (now != acquired)
            InterlockedExchangeAdd(&Pad().acquired, now ? 1 : -1);
        acquired = now;
    }

    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return Unsupported(); }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return Unsupported(); }
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return Unsupported(); }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override
    {
        // The MAKEDIPROP forms are small numbers posing as GUID addresses.
        return Log(RemoteCallSetProperty, SetRange(reinterpret_cast<uintptr_t>(&property), header));
    }
    HRESULT SetRange(uintptr_t property, LPCDIPROPHEADER header)
    {
        if (property != PropertyRange)
            return DIERR_UNSUPPORTED;
        if (!header || header->dwSize != sizeof(DIPROPRANGE) || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        if (acquired)
            return DIERR_ACQUIRED;
        const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
        if (range->lMin >= range->lMax)
            return DIERR_INVALIDPARAM;
        // The standard joystick format's X and Y; no other axis is served.
        int axis = header->dwObj == offsetof(DIJOYSTATE, lX) ? 0 : header->dwObj == offsetof(DIJOYSTATE, lY) ? 1 : -1;
        if (!formatSet || header->dwHow != DIPH_BYOFFSET || axis < 0)
            return DIERR_OBJECTNOTFOUND;
        HRESULT fault = Fault(axis == 0 ? &RemotePadFaults::setRangeX : &RemotePadFaults::setRangeY);
        if (fault == DI_OK) {
            Pad().rangeMin[axis] = range->lMin;
            Pad().rangeMax[axis] = range->lMax;
        }
        return fault;
    }
    STDMETHOD(Acquire)() override
    {
        if (!Attached())
            return Log(RemoteCallAcquire, DIERR_UNPLUGGED);
        if (!formatSet)
            return Log(RemoteCallAcquire, DIERR_INVALIDPARAM);
        if (acquired)
            return Log(RemoteCallAcquire, S_FALSE);
        SetAcquired(true);
        return Log(RemoteCallAcquire, DI_OK);
    }
    STDMETHOD(Unacquire)() override
    {
        if (!acquired)
            return Log(RemoteCallUnacquire, DI_NOEFFECT);
        SetAcquired(false);
        return Log(RemoteCallUnacquire, DI_OK);
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        LONG n = InterlockedIncrement(&block->readStampNext) - 1;
        InterlockedExchange64(&block->readStamps[n % RemotePadReadStampCount], now.QuadPart);
        InterlockedIncrement(&block->reads);
        if (InterlockedExchange(&Pad().crashRead, 0)) {
            // A real access violation: the pointer is not known to be null.
            LONG* volatile nowhere = nullptr;
            *nowhere = 0;
        }
        return Log(RemoteCallGetDeviceState, GetState(size, data));
    }
    HRESULT GetState(DWORD size, LPVOID data)
    {
        if (!formatSet)
            return DIERR_NOTINITIALIZED;
        if (!data || size != sizeof(DIJOYSTATE))
            return DIERR_INVALIDPARAM;
        if (!acquired)
            return DIERR_NOTACQUIRED;
        // An unplugged pad and an injected failure both lose the acquisition.
        if (!Attached() || TakeReadFailure(Pad())) {
            SetAcquired(false);
            return DIERR_INPUTLOST;
        }
        return ReadState(Pad(), static_cast<DIJOYSTATE*>(data)) ? DI_OK : DIERR_GENERIC;
    }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        HRESULT result = acquired                                     ? DIERR_ACQUIRED
                         : !format || !IsStandardJoystickFormat(*format) ? DIERR_INVALIDPARAM
                                                                      : Fault(&RemotePadFaults::setDataFormat);
        formatSet = formatSet || result == DI_OK;
        return Log(RemoteCallSetDataFormat, result);
    }
    STDMETHOD(SetEventNotification)(HANDLE) override { return Unsupported(); }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return Log(RemoteCallSetCooperativeLevel, DI_OK); }
    STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return Unsupported(); }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return Unsupported(); }
    STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override { return Unsupported(); }

    STDMETHOD(CreateEffect)(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override { return Unsupported(); }
    STDMETHOD(EnumEffects)(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return Unsupported(); }
    STDMETHOD(GetEffectInfo)(LPDIEFFECTINFOA, REFGUID) override { return Unsupported(); }
    STDMETHOD(GetForceFeedbackState)(LPDWORD) override { return Unsupported(); }
    STDMETHOD(SendForceFeedbackCommand)(DWORD) override { return Unsupported(); }
    STDMETHOD(EnumCreatedEffectObjects)(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override
    {
        return Unsupported();
    }
    STDMETHOD(Escape)(LPDIEFFESCAPE) override { return Unsupported(); }
    // A pad that needs no polling, as most are.
    STDMETHOD(Poll)() override { return Log(RemoteCallPoll, acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED); }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override
    {
        return Unsupported();
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return Unsupported(); }
};

}  // namespace

IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad)
{
    InterlockedIncrement(&block->devices[pad].refs);
    return new RemoteDevice(block, pad);
}
