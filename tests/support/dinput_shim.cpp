// Our own dinput.dll for the tests, loaded instead of the system's with
// WINEDLLOVERRIDES=dinput=n. It hands every call to the simulation compiled
// into the test program (sim_pad), which it finds among the program's
// exports. A program without it, started by a test, gets the DirectInput
// served from the remote pad block that KEYVANE_PAD names (remote_pad.h).
#include <windows.h>

#include "tests/support/remote_dinput.h"

namespace {

using CreateRoutine = HRESULT (*)(HINSTANCE, DWORD, const IID*, void**, IUnknown*);
using AttachRoutine = BOOL (*)();

FARPROC ProgramExport(const char* name)
{
    return GetProcAddress(GetModuleHandleA(nullptr), name);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DirectInputCreateEx(HINSTANCE instance, DWORD version, REFIID iid,
                                                                   void** out, IUnknown* outer)
{
    auto create = reinterpret_cast<CreateRoutine>(reinterpret_cast<void*>(ProgramExport("SimPadDirectInputCreateEx")));
    if (!create)
        return RemoteDirectInputCreate(version, iid, out, outer);
    return create(instance, version, &iid, out, outer);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    // Refusing to load stands for a system without DINPUT.DLL.
    if (reason == DLL_PROCESS_ATTACH) {
        auto attach = reinterpret_cast<AttachRoutine>(reinterpret_cast<void*>(ProgramExport("SimPadModuleAttach")));
        return attach ? attach() : TRUE;
    }
    if (reason == DLL_PROCESS_DETACH)
        RemoteDetach();
    return TRUE;
}
