// Our dinput.dll for the tests, installed in the prefix's system folder and
// loaded instead of Wine's own with WINEDLLOVERRIDES=dinput=n: its
// DirectInputCreateEx hands out an IDirectInput7A served from the pad block
// that KEYVANE_PAD names (remote_pad.h), which padblock.dll maps. It checks
// against MinGW's interface ids and standard joystick format, not the
// library's own copies.
#include <cstdio>

#include "harness/remote_dinput.h"
#include "harness/remote_pad_block.h"

namespace {

RemotePadBlock* block;

GUID PadInstance(int pad)
{
    return {0x4B560200 + static_cast<DWORD>(pad), 0x5250, 0x4400, {'R', 'E', 'M', 'P', 'A', 'D', 0, 0}};
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

struct RemoteDirectInput final : RemoteUnknown<IDirectInput7A, IsDirectInput> {
    using RemoteUnknown::RemoteUnknown;

    REMOTE_UNSUPPORTED(CreateDevice, REFGUID, LPDIRECTINPUTDEVICEA*, LPUNKNOWN)
    STDMETHOD(EnumDevices)(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override
    {
        // Logged first, so that the set-up calls made by the callback follow it.
        HRESULT result = callback ? RemotePadRead(&block->enumDevicesResult) : DIERR_INVALIDPARAM;
        Log(RemoteCallEnumDevices, result);
        // A failing enumeration first offers enumFailAfter pads.
        LONG offers = result == DI_OK ? RemotePadMaxDevices : callback ? RemotePadRead(&block->enumFailAfter) : 0;
        DWORD type = GET_DIDEVICE_TYPE(devType);
        if (type != 0 && type != DIDEVTYPE_JOYSTICK)
            return result;
        LONG count = RemotePadRead(&block->deviceCount);
        for (int pad = 0; pad < count && pad < RemotePadMaxDevices && offers > 0; ++pad) {
            if ((flags & DIEDFL_ATTACHEDONLY) && !Attached(pad))
                continue;
            --offers;
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
        return result;
    }
    REMOTE_UNSUPPORTED(GetDeviceStatus, REFGUID)
    REMOTE_UNSUPPORTED(RunControlPanel, HWND, DWORD)
    REMOTE_UNSUPPORTED(Initialize, HINSTANCE, DWORD)
    REMOTE_UNSUPPORTED(FindDevice, REFGUID, LPCSTR, LPGUID)

    STDMETHOD(CreateDeviceEx)(REFGUID instance, REFIID iid, LPVOID* out, LPUNKNOWN outer) override
    {
        int pad = PadOf(instance);
        return RemotePadLogCall(block, RemoteCallCreateDeviceEx, pad, NewDevice(pad, iid, out, outer));
    }

    HRESULT NewDevice(int pad, REFIID iid, void** out, IUnknown* outer)
    {
        if (!out)
            return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (pad < 0 || !Attached(pad))
            return DIERR_DEVICENOTREG;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (!IsDirectInputDevice(iid))
            return DIERR_NOINTERFACE;
        HRESULT fault = RemotePadRead(&block->devices[pad].faults.createDevice);
        if (fault != DI_OK)
            return fault;
        *out = RemoteDeviceNew(block, pad);
        return DI_OK;
    }
};

// As DirectInput 7 answers: the version must be one it knows and the
// instance a loaded module's.
HRESULT CreateResult(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer)
{
    char path[MAX_PATH];
    if (!out || !instance || !GetModuleFileNameA(instance, path, MAX_PATH))
        return DIERR_INVALIDPARAM;
    if (RemotePadRead(&block->createFails))
        return DIERR_GENERIC;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (version > 0x0700)
        return DIERR_BETADIRECTINPUTVERSION;
    if (version < 0x0700)
        return DIERR_OLDDIRECTINPUTVERSION;
    return IsDirectInput(iid) ? DI_OK : DIERR_NOINTERFACE;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DirectInputCreateEx(HINSTANCE instance, DWORD version, REFIID iid,
                                                                   void** out, IUnknown* outer)
{
    if (out)
        *out = nullptr;
    if (!(block = RemotePadBlockOpen()))
        return E_FAIL;
    RemoteTimerWatch(block);
    HRESULT result = CreateResult(instance, version, iid, out, outer);
    if (result == DI_OK)
        *out = static_cast<IDirectInput7A*>(new RemoteDirectInput(block, -1));
    return RemotePadLogCall(block, RemoteCallCreate, -1, result);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void* reserved)
{
    // Unloaded by FreeLibrary; at the process's end the system unmaps it.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        RemoteTimerUnwatch();
    return TRUE;
}
