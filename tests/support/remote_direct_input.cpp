// The IDirectInput7A that dinput.dll serves from a remote pad block: it
// enumerates the block's attached pads and creates their devices.
#include "tests/support/dinput_ids.h"
#include "tests/support/remote_dinput.h"

#include <cstdio>

namespace {

constexpr DWORD HighestVersion = 0x0700;
constexpr DWORD InstanceBase = 0x4B560200;

HANDLE blockMapping;
RemotePadBlock* block;

GUID PadInstance(int pad)
{
    return {InstanceBase + static_cast<DWORD>(pad), 0x5250, 0x4400, {'R', 'E', 'M', 'P', 'A', 'D', 0, 0}};
}

int PadOf(REFGUID instance)
{
    LONG count = RemotePadRead(&block->deviceCount);
    for (int pad = 0; pad < count && pad < RemotePadMaxDevices; ++pad)
        if (PadInstance(pad) == instance)
            return pad;
    return -1;
}

bool Attached(int pad)
{
    return RemotePadRead(&block->devices[pad].attached) != 0;
}

struct RemoteDirectInput final : IDirectInput7A {
    LONG refs = 1;

    HRESULT Unsupported() { return RemotePadLog(block, RemoteCallOther, -1, E_NOTIMPL); }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (!out)
            return RemotePadLog(block, RemoteCallOther, -1, E_POINTER);
        *out = nullptr;
        if (iid != sim_iid::Unknown && iid != sim_iid::DirectInputA && iid != sim_iid::DirectInput2A &&
            iid != sim_iid::DirectInput7A)
            return RemotePadLog(block, RemoteCallOther, -1, E_NOINTERFACE);
        ++refs;
        InterlockedIncrement(&block->directInputRefs);
        *out = this;
        return RemotePadLog(block, RemoteCallOther, -1, S_OK);
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        RemotePadLog(block, RemoteCallOther, -1, S_OK);
        InterlockedIncrement(&block->directInputRefs);
        return ++refs;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        RemotePadLog(block, RemoteCallDirectInputRelease, -1, S_OK);
        InterlockedDecrement(&block->directInputRefs);
        ULONG left = --refs;
        if (left == 0)
            delete this;
        return left;
    }

    // IDirectInputA
    STDMETHOD(CreateDevice)(REFGUID, LPDIRECTINPUTDEVICEA*, LPUNKNOWN) override { return Unsupported(); }
    STDMETHOD(EnumDevices)(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        // Logged first, so that the set-up calls made by the callback follow it.
        HRESULT result = callback ? RemotePadRead(&block->enumDevicesResult) : DIERR_INVALIDPARAM;
        RemotePadLog(block, RemoteCallEnumDevices, -1, result);
        if (result != DI_OK)
            return result;
        DWORD type = GET_DIDEVICE_TYPE(devType);
        if (type != 0 && type != DIDEVTYPE_JOYSTICK)
            return DI_OK;
        LONG count = RemotePadRead(&block->deviceCount);
        for (int pad = 0; pad < count && pad < RemotePadMaxDevices; ++pad) {
            if ((flags & DIEDFL_ATTACHEDONLY) && !Attached(pad))
                continue;
            DIDEVICEINSTANCEA instance = {};
            instance.dwSize = sizeof(instance);
            instance.guidInstance = PadInstance(pad);
            instance.guidProduct = {0x4B560002, 0x0000, 0x0000, {0, 0, 'R', 'E', 'M', 'P', 'A', 'D'}};
            instance.dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_GAMEPAD << 8) | DIDEVTYPE_HID;
            std::snprintf(instance.tszInstanceName, sizeof(instance.tszInstanceName), "Remote pad %d", pad);
            std::snprintf(instance.tszProductName, sizeof(instance.tszProductName), "Remote pad");
            if (callback(&instance, context) == DIENUM_STOP)
                break;
        }
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
        int pad = PadOf(instance);
        return RemotePadLog(block, RemoteCallCreateDeviceEx, pad, NewDevice(pad, iid, out, outer));
    }

    static HRESULT NewDevice(int pad, REFIID iid, void** out, IUnknown* outer)
    {
        if (!out)
            return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (pad < 0 || !Attached(pad))
            return DIERR_DEVICENOTREG;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (iid != sim_iid::DeviceA && iid != sim_iid::Device2A && iid != sim_iid::Device7A)
            return DIERR_NOINTERFACE;
        HRESULT fault = RemotePadRead(&block->devices[pad].createDeviceResult);
        if (fault != DI_OK)
            return fault;
        *out = RemoteDeviceNew(block, pad);
        return DI_OK;
    }
};

HRESULT CreateResult(DWORD version, REFIID iid, void** out, IUnknown* outer)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    if (RemotePadRead(&block->createFails))
        return DIERR_GENERIC;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (version > HighestVersion)
        return DIERR_BETADIRECTINPUTVERSION;
    if (iid != sim_iid::DirectInputA && iid != sim_iid::DirectInput2A && iid != sim_iid::DirectInput7A)
        return DIERR_NOINTERFACE;
    return DI_OK;
}

}  // namespace

HRESULT RemoteDirectInputCreate(DWORD version, REFIID iid, void** out, IUnknown* outer)
{
    if (out)
        *out = nullptr;
    if (!block) {
        char name[MAX_PATH];
        DWORD length = GetEnvironmentVariableA(RemotePadVariable, name, sizeof(name));
        if (length == 0 || length >= sizeof(name))
            return E_FAIL;
        block = RemotePadMap(name, &blockMapping);
        if (!block)
            return E_FAIL;
    }
    HRESULT result = CreateResult(version, iid, out, outer);
    if (result == DI_OK) {
        InterlockedIncrement(&block->directInputRefs);
        *out = static_cast<IDirectInput7A*>(new RemoteDirectInput());
    }
    return RemotePadLog(block, RemoteCallCreate, -1, result);
}

void RemoteDetach()
{
    RemotePadUnmap(block, blockMapping);
    block = nullptr;
    blockMapping = nullptr;
}
