#include "app/key_target.h"

#include "app/key_mapping.h"
#include "runtime/window/events.h"

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

LRESULT ReleaseBeforeModalLoops(HWND, UINT message, WPARAM wParam, LPARAM)
{
    // A click on the title bar activates before its move loop starts, so
    // the activation alone covers a drag begun that way.
    const bool activated = message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE;
    if (activated || message == WM_ENTERSIZEMOVE || message == WM_ENTERMENULOOP)
        KeyMappingReleaseHeld();
    return ProceedDefault;
}

HHOOK ownKeyFilter;

// Called for every message a loop of this thread fetches, before the loop
// sees it; WM_NULL is dispatched to no effect.
LRESULT CALLBACK DropOwnKeys(int code, WPARAM removal, LPARAM data)
{
    auto* msg = reinterpret_cast<MSG*>(data);
    if (code == HC_ACTION && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        static_cast<ULONG_PTR>(GetMessageExtraInfo()) == InjectedKeyTag)
        msg->message = WM_NULL;
    return CallNextHookEx(nullptr, code, removal, data);
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

void KeyTargetBegin()
{
    EventSetThreadWindowCallback(ReleaseBeforeModalLoops);
    ownKeyFilter = SetWindowsHookExA(WH_GETMESSAGE, DropOwnKeys, nullptr, GetCurrentThreadId());
}

void KeyTargetEnd()
{
    if (ownKeyFilter)
        UnhookWindowsHookEx(ownKeyFilter);
    ownKeyFilter = nullptr;
}
