// The IDirectInputDevice7A that dinput.dll serves for one pad of the pad
// block: it answers as DirectInput 7 does for the calls the joystick
// library makes, reads the state the driver wrote, and records every call
// and what it was handed.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tests/support/dinput_ids.h"
#include "tests/support/remote_dinput.h"

namespace {

// The MAKEDIPROP number of DIPROP_RANGE.
constexpr uintptr_t PropertyRange = 4;

// Takes one of the pad's pending read failures, if any.
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

struct RemoteDevice final : IDirectInputDevice7A {
    RemotePadBlock* block;
    int pad;
    LONG refs = 1;
    bool formatSet = false;
    bool acquired = false;

    RemoteDevice(RemotePadBlock* owner, int number) : block(owner), pad(number) {}

    RemotePadDevice& Pad() { return block->devices[pad]; }
    bool Attached() { return RemotePadRead(&Pad().attached) != 0; }
    HRESULT Log(RemoteCall call, HRESULT result) { return RemotePadLog(block, call, pad, result); }
    HRESULT Unsupported() { return Log(RemoteCallOther, E_NOTIMPL); }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!out)
            return Log(RemoteCallOther, E_POINTER);
        *out = nullptr;
        if (iid != dinput_iid::Unknown && iid != dinput_iid::DeviceA && iid != dinput_iid::Device2A && iid != dinput_iid::Device7A)
            return Log(RemoteCallOther, E_NOINTERFACE);
        ++refs;
        InterlockedIncrement(&Pad().refs);
        *out = this;
        return Log(RemoteCallOther, S_OK);
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

    // IDirectInputDeviceA
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return Unsupported(); }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return Unsupported(); }
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return Unsupported(); }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override
    {
        // The MAKEDIPROP forms are small numbers posing as GUID addresses.
        RemotePadProperty set = {static_cast<DWORD>(reinterpret_cast<uintptr_t>(&property)), {}, 0, 0, 0};
        set.result = SetPropertyResult(set.property, header);
        if (header)
            set.header = *header;
        if (set.property == PropertyRange && header && header->dwSize == sizeof(DIPROPRANGE)) {
            set.min = reinterpret_cast<const DIPROPRANGE*>(header)->lMin;
            set.max = reinterpret_cast<const DIPROPRANGE*>(header)->lMax;
        }
        LONG n = Pad().propertyCount++;
        if (n < RemotePadPropertyRecords)
            Pad().properties[n] = set;
        return Log(RemoteCallSetProperty, set.result);
    }
    HRESULT SetPropertyResult(uintptr_t property, LPCDIPROPHEADER header)
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
        if (!formatSet || header->dwHow != DIPH_BYOFFSET)
            return DIERR_OBJECTNOTFOUND;
        if (header->dwObj == offsetof(DIJOYSTATE, lX))
            return RemotePadRead(&Pad().setRangeXResult);
        if (header->dwObj == offsetof(DIJOYSTATE, lY))
            return RemotePadRead(&Pad().setRangeYResult);
        return DIERR_OBJECTNOTFOUND;
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
        RemotePadStampRead(block);
        return Log(RemoteCallGetDeviceState, ReadState(size, data));
    }
    HRESULT ReadState(DWORD size, LPVOID data)
    {
        Pad().stateSize = size;
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
        if (!RemotePadReadState(&Pad(), static_cast<DIJOYSTATE*>(data)))
            return DIERR_GENERIC;
        return DI_OK;
    }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        return Log(RemoteCallSetDataFormat, SetDataFormatResult(format));
    }
    HRESULT SetDataFormatResult(LPCDIDATAFORMAT format)
    {
        if (format)
            CopyFormat(*format);
        if (acquired)
            return DIERR_ACQUIRED;
        // Only the standard joystick layout: the state is handed over as is.
        if (!format || format->dwSize != sizeof(DIDATAFORMAT) || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) ||
            format->dwDataSize != sizeof(DIJOYSTATE) || !format->rgodf)
            return DIERR_INVALIDPARAM;
        HRESULT fault = RemotePadRead(&Pad().setDataFormatResult);
        if (fault != DI_OK)
            return fault;
        formatSet = true;
        return DI_OK;
    }
    void CopyFormat(const DIDATAFORMAT& format)
    {
        RemotePadFormat& copy = Pad().format;
        copy = {format.dwSize, format.dwObjSize, format.dwFlags, format.dwDataSize, format.dwNumObjs, {}};
        for (DWORD i = 0; format.rgodf && i < format.dwNumObjs && i < RemotePadFormatObjects; ++i) {
            const DIOBJECTDATAFORMAT& object = format.rgodf[i];
            copy.objects[i] = {object.pguid ? *object.pguid : GUID(), object.pguid != nullptr, object.dwOfs,
                               object.dwType, object.dwFlags};
        }
    }
    STDMETHOD(SetEventNotification)(HANDLE) override { return Unsupported(); }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return Log(RemoteCallSetCooperativeLevel, DI_OK); }
    STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return Unsupported(); }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return Unsupported(); }
    STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override { return Unsupported(); }

    // IDirectInputDevice2A
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
    STDMETHOD(Poll)() override
    {
        // A pad that needs no polling, as most are.
        return Log(RemoteCallPoll, acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED);
    }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }

    // IDirectInputDevice7A
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override
    {
        return Unsupported();
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return Unsupported(); }
};

}  // namespace

IDirectInputDevice7A* RemoteDeviceNew(RemotePadBlock* block, int pad)
{
    RemotePadDevice& device = block->devices[pad];
    device.format = RemotePadFormat();
    device.propertyCount = 0;
    device.stateSize = 0;
    InterlockedIncrement(&device.refs);
    return new RemoteDevice(block, pad);
}
