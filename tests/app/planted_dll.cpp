// A DLL planted beside a copy of Keyvane.exe under the name of a system DLL
// that Keyvane loads at run time: being loaded sets the test's event (the
// handle is left open: it matters only in a run that has failed).
#include "harness/remote_pad_block.h"

// What the system padblock.dll exports, so that a dinput.dll that took this
// one instead loads, as Windows binds every import before DllMain runs.
__declspec(dllexport) RemotePadBlock* RemotePadBlockOpen()
{
    return nullptr;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, "Keyvane planted DLL loaded"));
    return TRUE;
}
