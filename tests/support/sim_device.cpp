// The simulated IDirectInputDevice7A: answers as DirectInput 7 does for the
// calls the joystick library makes, and records them.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "tests/support/sim_pad_state.h"

struct SimDevice final : IDirectInputDevice7A {
    SimDeviceRecord record;
    bool lost = false;  // the next failed read reports DIERR_INPUTLOST

    SimPad& Pad() { return World().pads[record.pad]; }

    // Every method goes through here: a call after the last Release is a
    // fault of the caller.
    bool Alive(SimCall call)
    {
        if (record.refs > 0)
            return true;
        ADD_FAILURE() << "DirectInput device of pad " << record.pad << " used after its last Release";
        SimLogged(call, record.pad, E_POINTER);
        return false;
    }

    HRESULT Log(SimCall call, HRESULT result) { return SimLogged(call, record.pad, result); }

    HRESULT Unsupported()
    {
        if (!Alive(SimCall::Other))
            return E_POINTER;
        return Log(SimCall::Other, E_NOTIMPL);
    }

    bool IsAxisOffset(DWORD offset) const
    {
        for (const DIOBJECTDATAFORMAT& object : record.format.objects)
            if (object.dwOfs == offset && (object.dwType & DIDFT_AXIS))
                return true;
        return false;
    }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!Alive(SimCall::Other))
            return E_POINTER;
        if (!out)
            return Log(SimCall::Other, E_POINTER);
        if (iid == sim_iid::Unknown || iid == sim_iid::DeviceA || iid == sim_iid::Device2A ||
            iid == sim_iid::Device7A) {
            ++record.refs;
            *out = this;
            return Log(SimCall::Other, S_OK);
        }
        *out = nullptr;
        return Log(SimCall::Other, E_NOINTERFACE);
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        if (!Alive(SimCall::Other))
            return 0;
        Log(SimCall::Other, S_OK);
        return ++record.refs;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        if (!Alive(SimCall::DeviceRelease))
            return 0;
        Log(SimCall::DeviceRelease, S_OK);
        if (--record.refs == 0)
            record.acquired = false;
        return record.refs;
    }

    // IDirectInputDeviceA
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return Unsupported(); }
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return Unsupported(); }
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override
    {
        if (!Alive(SimCall::GetProperty))
            return E_POINTER;
        return Log(SimCall::GetProperty, E_NOTIMPL);
    }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (!Alive(SimCall::SetProperty))
            return E_POINTER;
        // The MAKEDIPROP forms are small numbers posing as GUID addresses.
        SimPropertyRecord set = {};
        set.property = reinterpret_cast<uintptr_t>(&property);
        set.result = SetPropertyResult(set, header);
        record.properties.push_back(set);
        return Log(SimCall::SetProperty, set.result);
    }
    HRESULT SetPropertyResult(SimPropertyRecord& set, LPCDIPROPHEADER header)
    {
        if (!header)
            return DIERR_INVALIDPARAM;
        set.header = *header;
        if (set.property != SimPropRange)
            return DI_OK;
        if (header->dwSize != sizeof(DIPROPRANGE) || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
        set.min = range->lMin;
        set.max = range->lMax;
        if (record.acquired)
            return DIERR_ACQUIRED;
        if (range->lMin >= range->lMax)
            return DIERR_INVALIDPARAM;
        if (header->dwHow == DIPH_DEVICE)
            return header->dwObj == 0 ? DI_OK : DIERR_INVALIDPARAM;
        if (header->dwHow != DIPH_BYOFFSET || !record.formatSet || !IsAxisOffset(header->dwObj))
            return DIERR_OBJECTNOTFOUND;
        if (header->dwObj == offsetof(DIJOYSTATE, lX))
            return Pad().faults.setRangeX;
        if (header->dwObj == offsetof(DIJOYSTATE, lY))
            return Pad().faults.setRangeY;
        return DI_OK;
    }
    STDMETHOD(Acquire)() override
    {
        if (!Alive(SimCall::Acquire))
            return E_POINTER;
        if (!Pad().attached)
            return Log(SimCall::Acquire, DIERR_UNPLUGGED);
        if (!record.formatSet)
            return Log(SimCall::Acquire, DIERR_INVALIDPARAM);
        if (record.acquired)
            return Log(SimCall::Acquire, S_FALSE);
        record.acquired = true;
        lost = false;
        return Log(SimCall::Acquire, DI_OK);
    }
    STDMETHOD(Unacquire)() override
    {
        if (!Alive(SimCall::Unacquire))
            return E_POINTER;
        if (!record.acquired)
            return Log(SimCall::Unacquire, DI_NOEFFECT);
        record.acquired = false;
        return Log(SimCall::Unacquire, DI_OK);
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override
    {
        if (!Alive(SimCall::GetDeviceState))
            return E_POINTER;
        record.stateSizes.push_back(size);
        if (!record.formatSet)
            return Log(SimCall::GetDeviceState, DIERR_NOTINITIALIZED);
        if (!data || size != record.format.header.dwDataSize)
            return Log(SimCall::GetDeviceState, DIERR_INVALIDPARAM);
        if (!record.acquired) {
            HRESULT result = lost ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
            lost = false;
            return Log(SimCall::GetDeviceState, result);
        }
        // The simulation knows one layout: the standard joystick state.
        std::memset(data, 0, size);
        std::memcpy(data, &Pad().state, size < sizeof(DIJOYSTATE) ? size : sizeof(DIJOYSTATE));
        return Log(SimCall::GetDeviceState, DI_OK);
    }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override
    {
        if (!Alive(SimCall::SetDataFormat))
            return E_POINTER;
        if (record.acquired)
            return Log(SimCall::SetDataFormat, DIERR_ACQUIRED);
        if (!format || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) || (format->dwNumObjs && !format->rgodf))
            return Log(SimCall::SetDataFormat, DIERR_INVALIDPARAM);
        if (Pad().faults.setDataFormat != DI_OK)
            return Log(SimCall::SetDataFormat, Pad().faults.setDataFormat);
        SimDataFormat& copy = record.format;
        copy.header = *format;
        copy.objects.assign(format->rgodf, format->rgodf + format->dwNumObjs);
        copy.guids.assign(format->dwNumObjs, GUID());
        copy.hasGuid.assign(format->dwNumObjs, false);
        for (DWORD i = 0; i < format->dwNumObjs; ++i) {
            if (format->rgodf[i].pguid) {
                copy.guids[i] = *format->rgodf[i].pguid;
                copy.hasGuid[i] = true;
            }
            copy.objects[i].pguid = &copy.guids[i];
        }
        copy.header.rgodf = copy.objects.data();
        record.formatSet = true;
        return Log(SimCall::SetDataFormat, DI_OK);
    }
    STDMETHOD(SetEventNotification)(HANDLE) override { return Unsupported(); }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override
    {
        if (!Alive(SimCall::SetCooperativeLevel))
            return E_POINTER;
        return Log(SimCall::SetCooperativeLevel, DI_OK);
    }
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
        if (!Alive(SimCall::Poll))
            return E_POINTER;
        // A pad that needs no polling, as most are.
        return Log(SimCall::Poll, record.acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED);
    }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return Unsupported(); }

    // IDirectInputDevice7A
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override
    {
        return Unsupported();
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return Unsupported(); }
};

IDirectInputDevice7A* SimDeviceNew(int pad)
{
    auto* device = new SimDevice();
    device->record.pad = pad;
    device->record.refs = 1;
    World().devices.push_back(device);
    return device;
}

SimDeviceRecord& SimDeviceRecordOf(SimDevice* device)
{
    return device->record;
}

void SimDeviceLoseAcquisition(SimDevice* device)
{
    if (device->record.acquired) {
        device->record.acquired = false;
        device->lost = true;
    }
}
