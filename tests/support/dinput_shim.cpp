// Our own dinput.dll for the tests, loaded instead of the system's with
// WINEDLLOVERRIDES=dinput=n. It holds no DirectInput of its own: it hands
// every call to the simulation compiled into the test program (sim_pad),
// which it finds among the program's exports.
#include <windows.h>

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
    if (!create) {
        // A program without the simulation gets no DirectInput.
        if (out)
            *out = nullptr;
        return E_FAIL;
    }
    return create(instance, version, &iid, out, outer);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    // Refusing to load stands for a system without DINPUT.DLL.
    if (reason == DLL_PROCESS_ATTACH) {
        auto attach = reinterpret_cast<AttachRoutine>(reinterpret_cast<void*>(ProgramExport("SimPadModuleAttach")));
        return attach ? attach() : TRUE;
    }
    return TRUE;
}
