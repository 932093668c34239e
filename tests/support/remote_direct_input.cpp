// Our dinput.dll for the tests, loaded instead of the system's with
// WINEDLLOVERRIDES=dinput=n: its DirectInputCreateEx hands out an
// IDirectInput7A served from the pad block that KEYVANE_PAD names
// (remote_pad.h), which enumerates the block's attached pads and creates
// their devices. Without a block it leaves the pointer null.
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
        if (iid != dinput_iid::Unknown && iid != dinput_iid::DirectInputA && iid != dinput_iid::DirectInput2A &&
            iid != dinput_iid::DirectInput7A)
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
        RemotePadEnumRecord& record = block->enumeration;
        record = {devType, flags, reinterpret_cast<ULONG_PTR>(context), 0, {}};
        // Logged first, so that the set-up calls made by the callback follow it.
        HRESULT result = callback ? RemotePadRead(&block->enumDevicesResult) : DIERR_INVALIDPARAM;
        RemotePadLog(block, RemoteCallEnumDevices, -1, result);
        // A failing enumeration first offers enumFailAfter pads.
        LONG failAfter = result == DI_OK ? -1 : callback ? RemotePadRead(&block->enumFailAfter) : 0;
        DWORD type = GET_DIDEVICE_TYPE(devType);
        if (type != 0 && type != DIDEVTYPE_JOYSTICK)
            return result;
        LONG count = RemotePadRead(&block->deviceCount);
        for (int pad = 0; pad < count && pad < RemotePadMaxDevices; ++pad) {
            if ((flags & DIEDFL_ATTACHEDONLY) && !Attached(pad))
                continue;
            if (record.callbacks == failAfter)
                break;
            DIDEVICEINSTANCEA instance = {};
            instance.dwSize = sizeof(instance);
            instance.guidInstance = PadInstance(pad);
            instance.guidProduct = {0x4B560002, 0x0000, 0x0000, {0, 0, 'R', 'E', 'M', 'P', 'A', 'D'}};
            instance.dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_GAMEPAD << 8) | DIDEVTYPE_HID;
            std::snprintf(instance.tszInstanceName, sizeof(instance.tszInstanceName), "Remote pad %d", pad);
            std::snprintf(instance.tszProductName, sizeof(instance.tszProductName), "Remote pad");
            BOOL more = callback(&instance, context);
            record.results[record.callbacks++] = more;
            if (more == DIENUM_STOP)
                break;
        }
        return result;
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
        if (iid != dinput_iid::DeviceA && iid != dinput_iid::Device2A && iid != dinput_iid::Device7A)
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
    if (iid != dinput_iid::DirectInputA && iid != dinput_iid::DirectInput2A && iid != dinput_iid::DirectInput7A)
        return DIERR_NOINTERFACE;
    return DI_OK;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DirectInputCreateEx(HINSTANCE instance, DWORD version, REFIID iid,
                                                                   void** out, IUnknown* outer)
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
    block->create = {reinterpret_cast<ULONG_PTR>(instance), version, iid, outer != nullptr,
                     reinterpret_cast<ULONG_PTR>(out ? *out : nullptr)};
    return RemotePadLog(block, RemoteCallCreate, -1, result);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void* reserved)
{
    // Unloaded by FreeLibrary; at the process's end the system unmaps it.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        RemotePadUnmap(block, blockMapping);
        block = nullptr;
        blockMapping = nullptr;
    }
    return TRUE;
}
