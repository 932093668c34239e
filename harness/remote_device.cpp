// The IDirectInputDevice7A that dinput.dll serves for one pad of the pad
// block: it answers as DirectInput 7 does for the calls the joystick
// library makes, refuses what DirectInput would refuse, and hands over the
// state the driver wrote.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "harness/remote_dinput.h"

namespace {

// The MAKEDIPROP number of DIPROP_RANGE.
constexpr uintptr_t PropertyRange = 4;

// A real access violation: the pointer is not known to be null.
DWORD WINAPI RaiseAccessViolation(void*)
{
    volatile LONG* volatile nowhere = nullptr;
    *nowhere = 0;
    return 0;
}

bool TakeReadFailure(RemotePadDevice& pad)
{
    LONG left;
    while ((left = RemotePadRead(&pad.failReads)) > 0)
        if (InterlockedCompareExchange(&pad.failReads, left - 1, left) == left)
            return true;
    return false;
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

struct RemoteDevice final : RemoteUnknown<IDirectInputDevice7A, IsDirectInputDevice> {
    bool formatSet = false;
    bool acquired = false;

    using RemoteUnknown::RemoteUnknown;

    RemotePadDevice& Pad() { return block->devices[device]; }
    bool Attached() { return RemotePadRead(&Pad().attached) != 0; }
    HRESULT Fault(HRESULT RemotePadFaults::*step) { return RemotePadRead(&(Pad().faults.*step)); }

    REMOTE_UNSUPPORTED(GetCapabilities, LPDIDEVCAPS)
    REMOTE_UNSUPPORTED(EnumObjects, LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD)
    REMOTE_UNSUPPORTED(GetProperty, REFGUID, LPDIPROPHEADER)
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
        HRESULT result = !Attached() ? DIERR_UNPLUGGED : !formatSet ? DIERR_INVALIDPARAM : acquired ? S_FALSE : DI_OK;
        acquired = acquired || result == DI_OK;
        return Log(RemoteCallAcquire, result);
    }
    STDMETHOD(Unacquire)() override
    {
        HRESULT result = acquired ? DI_OK : DI_NOEFFECT;
        acquired = false;
        return Log(RemoteCallUnacquire, result);
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        LONG n = InterlockedIncrement(&block->readStampNext) - 1;
        InterlockedExchange64(&block->readStamps[n % RemotePadReadStampCount], now.QuadPart);
        switch (InterlockedExchange(&Pad().crashRead, RemotePadCrashNone)) {
        case RemotePadCrashInRead:
            RaiseAccessViolation(nullptr);
            break;
        case RemotePadCrashOnThread:
            CloseHandle(CreateThread(nullptr, 0, RaiseAccessViolation, nullptr, 0, nullptr));
            break;
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
            acquired = false;
            return DIERR_INPUTLOST;
        }
        return ReadState(Pad(), static_cast<DIJOYSTATE*>(data)) ? DI_OK : DIERR_GENERIC;
    }
    REMOTE_UNSUPPORTED(GetDeviceData, DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        HRESULT result = acquired                                     ? DIERR_ACQUIRED
                         : !format || !IsStandardJoystickFormat(*format) ? DIERR_INVALIDPARAM
                                                                      : Fault(&RemotePadFaults::setDataFormat);
        formatSet = formatSet || result == DI_OK;
        return Log(RemoteCallSetDataFormat, result);
    }
    REMOTE_UNSUPPORTED(SetEventNotification, HANDLE)
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return Log(RemoteCallSetCooperativeLevel, DI_OK); }
    REMOTE_UNSUPPORTED(GetObjectInfo, LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD)
    REMOTE_UNSUPPORTED(GetDeviceInfo, LPDIDEVICEINSTANCEA)
    REMOTE_UNSUPPORTED(RunControlPanel, HWND, DWORD)
    REMOTE_UNSUPPORTED(Initialize, HINSTANCE, DWORD, REFGUID)

    REMOTE_UNSUPPORTED(CreateEffect, REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN)
    REMOTE_UNSUPPORTED(EnumEffects, LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD)
    REMOTE_UNSUPPORTED(GetEffectInfo, LPDIEFFECTINFOA, REFGUID)
    REMOTE_UNSUPPORTED(GetForceFeedbackState, LPDWORD)
    REMOTE_UNSUPPORTED(SendForceFeedbackCommand, DWORD)
    REMOTE_UNSUPPORTED(EnumCreatedEffectObjects, LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD)
    REMOTE_UNSUPPORTED(Escape, LPDIEFFESCAPE)
    // A pad that needs no polling, as most are.
    STDMETHOD(Poll)() override { return Log(RemoteCallPoll, acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED); }
    REMOTE_UNSUPPORTED(SendDeviceData, DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    REMOTE_UNSUPPORTED(EnumEffectsInFile, LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD)
    REMOTE_UNSUPPORTED(WriteEffectToFile, LPCSTR, DWORD, LPDIFILEEFFECT, DWORD)
};

}  // namespace

IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad)
{
    return new RemoteDevice(block, pad);
}
