// A DLL planted beside a copy of Keyvane.exe under the name of a system DLL
// that Keyvane loads at run time: being loaded sets the test's event (the
// handle is left open: it matters only in a run that has failed).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, "Keyvane planted DLL loaded"));
    return TRUE;
}
