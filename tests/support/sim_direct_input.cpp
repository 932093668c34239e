// The simulated IDirectInput7A and the two entry points that dinput_shim
// looks up among the test program's exports.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/sim_pad_state.h"

struct SimDirectInputObject final : IDirectInput7A {
    LONG refs = 1;

    bool IsCurrent() const { return World().directInput.object == this; }

    bool Alive(SimCall call)
    {
        if (refs > 0)
            return true;
        ADD_FAILURE() << "DirectInput object used after its last Release";
        SimLogged(call, -1, E_POINTER);
        return false;
    }

    HRESULT Unsupported()
    {
        if (!Alive(SimCall::Other))
            return E_POINTER;
        return SimLogged(SimCall::Other, -1, E_NOTIMPL);
    }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!Alive(SimCall::Other))
            return E_POINTER;
        if (!out)
            return SimLogged(SimCall::Other, -1, E_POINTER);
        if (iid == sim_iid::Unknown || iid == sim_iid::DirectInputA || iid == sim_iid::DirectInput2A ||
            iid == sim_iid::DirectInput7A) {
            AddRefQuietly();
            *out = this;
            return SimLogged(SimCall::Other, -1, S_OK);
        }
        *out = nullptr;
        return SimLogged(SimCall::Other, -1, E_NOINTERFACE);
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        if (!Alive(SimCall::Other))
            return 0;
        SimLogged(SimCall::Other, -1, S_OK);
        return AddRefQuietly();
    }
    ULONG AddRefQuietly()
    {
        if (IsCurrent())
            World().directInput.refs = refs + 1;
        return ++refs;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        if (!Alive(SimCall::DirectInputRelease))
            return 0;
        SimLogged(SimCall::DirectInputRelease, -1, S_OK);
        if (IsCurrent())
            World().directInput.refs = refs - 1;
        return --refs;
    }

    // IDirectInputA
    STDMETHOD(CreateDevice)(REFGUID instance, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) override
    {
        if (!Alive(SimCall::CreateDevice))
            return E_POINTER;
        return SimLogged(SimCall::CreateDevice, PadOf(instance),
                         NewDevice(instance, sim_iid::DeviceA, reinterpret_cast<void**>(out), outer));
    }
    STDMETHOD(EnumDevices)(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        if (!Alive(SimCall::EnumDevices))
            return E_POINTER;
        SimWorld& world = World();
        // Logged first, so that the set-up calls made by the callback follow it.
        size_t entry = world.log.size();
        SimLogged(SimCall::EnumDevices, -1, DI_OK);
        world.directInput.enumerations.push_back({devType, flags, context, {}});
        HRESULT result = Enumerate(devType, callback, context, flags);
        world.log[entry].result = result;
        return result;
    }
    HRESULT Enumerate(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags)
    {
        SimWorld& world = World();
        if (!callback)
            return DIERR_INVALIDPARAM;
        DWORD type = GET_DIDEVICE_TYPE(devType);
        bool joysticks = type == 0 || type == DIDEVTYPE_JOYSTICK;
        int enumerated = 0;
        for (size_t pad = 0; joysticks && pad < world.pads.size(); ++pad) {
            if ((flags & DIEDFL_ATTACHEDONLY) && !world.pads[pad].attached)
                continue;
            if (enumerated == world.enumFailAfter)
                return world.enumFailResult;
            ++enumerated;
            // A fresh instance record on the stack for each call, as the
            // callback may keep nothing of it.
            DIDEVICEINSTANCEA instance = {};
            instance.dwSize = sizeof(instance);
            instance.guidInstance = world.pads[pad].instance;
            instance.guidProduct = {0x4B560001, 0x0000, 0x0000, {0, 0, 'S', 'I', 'M', 'P', 'A', 'D'}};
            instance.dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_GAMEPAD << 8) | DIDEVTYPE_HID;
            std::snprintf(instance.tszInstanceName, sizeof(instance.tszInstanceName), "Simulated pad %u",
                          static_cast<unsigned>(pad));
            std::snprintf(instance.tszProductName, sizeof(instance.tszProductName), "Simulated pad");
            BOOL more = callback(&instance, context);
            world.directInput.enumerations.back().callbackResults.push_back(more);
            if (more == DIENUM_STOP)
                return DI_OK;
        }
        if (world.enumFailAfter >= 0)
            return world.enumFailResult;
        return DI_OK;
    }
    STDMETHOD(GetDeviceStatus)(REFGUID) override { return Unsupported(); }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return Unsupported(); }
    STDMETHOD(Initialize)(HINSTANCE, DWORD) override { return Unsupported(); }

    // IDirectInput2A
    STDMETHOD(FindDevice)(REFGUID, LPCSTR, LPGUID) override { return Unsupported(); }

    // IDirectInput7A
    STDMETHOD(CreateDeviceEx)(REFGUID instance, REFIID iid, LPVOID* out, LPUNKNOWN outer) override
    {
        if (!Alive(SimCall::CreateDeviceEx))
            return E_POINTER;
        return SimLogged(SimCall::CreateDeviceEx, PadOf(instance), NewDevice(instance, iid, out, outer));
    }

    static int PadOf(REFGUID instance)
    {
        const SimWorld& world = World();
        for (size_t pad = 0; pad < world.pads.size(); ++pad)
            if (world.pads[pad].instance == instance)
                return static_cast<int>(pad);
        return -1;
    }

    static HRESULT NewDevice(REFGUID instance, REFIID iid, void** out, IUnknown* outer)
    {
        if (!out)
            return DIERR_INVALIDPARAM;
        *out = nullptr;
        int pad = PadOf(instance);
        if (pad < 0 || !World().pads[pad].attached)
            return DIERR_DEVICENOTREG;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (iid != sim_iid::DeviceA && iid != sim_iid::Device2A && iid != sim_iid::Device7A)
            return DIERR_NOINTERFACE;
        HRESULT fault = World().pads[pad].faults.createDevice;
        if (fault != DI_OK)
            return fault;
        *out = SimDeviceNew(pad);
        return DI_OK;
    }
};

// dinput_shim's DllMain asks whether it may load.
extern "C" __declspec(dllexport) BOOL SimPadModuleAttach()
{
    ++World().directInput.moduleLoads;
    return World().moduleLoadable;
}

// dinput_shim's DirectInputCreateEx, passed on.
extern "C" __declspec(dllexport) HRESULT SimPadDirectInputCreateEx(HINSTANCE instance, DWORD version, const IID* iid,
                                                                  void** out, IUnknown* outer)
{
    SimDirectInputRecord& record = World().directInput;
    ++record.createCalls;
    record.instance = instance;
    record.version = version;
    record.iid = iid ? *iid : GUID();
    record.outerGiven = outer != nullptr;
    record.object = nullptr;
    record.refs = 0;
    HRESULT result = DI_OK;
    if (!out)
        result = DIERR_INVALIDPARAM;
    else if (!World().createSucceeds)
        result = DIERR_GENERIC;
    else if (outer)
        result = CLASS_E_NOAGGREGATION;
    else if (version > 0x0700)
        result = DIERR_BETADIRECTINPUTVERSION;
    else if (!iid || (*iid != sim_iid::DirectInputA && *iid != sim_iid::DirectInput2A && *iid != sim_iid::DirectInput7A))
        result = DIERR_NOINTERFACE;
    if (out)
        *out = nullptr;
    if (result == DI_OK) {
        World().objects.push_back(new SimDirectInputObject());
        record.object = World().objects.back();
        record.refs = 1;
        *out = record.object;
    }
    return SimLogged(SimCall::DirectInputCreateEx, -1, result);
}
