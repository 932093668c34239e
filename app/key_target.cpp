#include "app/key_target.h"

#include "app/key_mapping.h"
#include "runtime/window/window_table.h"

namespace {

// Written by the crash filter on whichever thread faulted, read by the
// loop's thread.
volatile LONG crashed;

bool ForegroundIsKeyvanes()
{
    DWORD process = 0;
    HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
}

}  // namespace

bool KeyTargetMarkCrashed()
{
    return InterlockedExchange(&crashed, 1) == 0;
}

bool KeyTargetCrashed()
{
    return InterlockedCompareExchange(&crashed, 0, 0) != 0;
}

bool KeyTargetIsGame()
{
    return !KeyTargetCrashed() && !ForegroundIsKeyvanes();
}

LRESULT KeyTargetWindowCallback(HWND, UINT message, WPARAM wParam, LPARAM)
{
    // A click on the title bar activates before its move loop starts, so
    // the activation alone covers a drag begun that way.
    const bool activated = message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE;
    if (activated || message == WM_ENTERSIZEMOVE || message == WM_ENTERMENULOOP)
        KeyMappingReleaseHeld();
    return ProceedDefault;
}
