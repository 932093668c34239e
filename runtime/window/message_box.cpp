#include "runtime/window/message_box.h"

ListNode* DisabledWindowList = nullptr;

namespace {

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM)
{
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowVisible(window) &&
        IsWindowEnabled(window) && window != GetForegroundWindow()) {
        EnableWindow(window, FALSE);
        auto* entry = static_cast<DisabledWindowEntry*>(
            ListAdd(&DisabledWindowList, sizeof(ListNode) + sizeof(DisabledWindowEntry)));
        if (entry) {
            entry->thread = GetCurrentThreadId();
            entry->window = window;
        } else {
            // Only an entry would enable it again after the box.
            EnableWindow(window, TRUE);
        }
    }
    return TRUE;
}

void EnableThreadWindows()
{
    const DWORD thread = GetCurrentThreadId();
    for (ListNode* node = DisabledWindowList; node;) {
        ListNode* older = node->older;
        auto* entry = static_cast<DisabledWindowEntry*>(ListPayload(node));
        if (entry->thread == thread) {
            EnableWindow(entry->window, TRUE);
            ListRemove(&DisabledWindowList, entry);
        }
        node = older;
    }
}

}  // namespace

HWND MessageBoxOwner()
{
    HWND foreground = GetForegroundWindow();
    if (!foreground)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

int32_t MessageBoxShow(const char* caption, const char* text, uint32_t flags)
{
    // Disabling comes first, so the owner is chosen among what is left.
    EnumWindows(DisableThreadWindow, 0);
    HWND owner = MessageBoxOwner();
    int32_t result = MessageBoxA(owner, text, caption, flags);
    EnableThreadWindows();
    return result;
}
