// A message box that is modal for the whole calling thread.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/list.h"

// Payload of a DisabledWindowList entry.
struct DisabledWindowEntry {
    DWORD thread;  // the thread that disabled the window
    HWND window;
};

// The windows that MessageBoxShow disabled, newest first; one list for the
// process, without a lock: calls from different threads must not overlap.
extern ListNode* DisabledWindowList;

// Disables the thread's other visible, enabled top-level windows, shows
// MessageBoxA owned by MessageBoxOwner() and enables them again. Returns
// MessageBoxA's result (0 when the box cannot be shown).
int32_t MessageBoxShow(const char* caption, const char* text, uint32_t flags);

// The foreground window when it belongs to this process, else null.
HWND MessageBoxOwner();
