// Tab navigation: the accelerator table to translate with, and the focus
// step that its two commands run.
#include <richedit.h>

#include <cstring>

#include "runtime/window/events.h"
#include "runtime/window/window.h"
#include "runtime/window/window_names.h"

namespace {

bool KeyDown(int key)
{
    return GetKeyState(key) & 0x80;
}

bool IsTabStop(HWND window)
{
    return IsWindowEnabled(window) && IsWindowVisible(window) && (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

struct ForwardWalk {
    HWND current;
    bool foundCurrent;
    bool done;
};

BOOL CALLBACK StepForward(HWND window, LPARAM param)
{
    auto* walk = reinterpret_cast<ForwardWalk*>(param);
    if (!IsTabStop(window))
        return TRUE;
    if (walk->foundCurrent || !walk->current) {
        SetFocus(window);
        walk->foundCurrent = false;
        walk->done = true;
        return FALSE;
    }
    if (window == walk->current)
        walk->foundCurrent = true;
    return TRUE;
}

struct BackwardWalk {
    HWND current;
    HWND previous;
    bool done;
};

BOOL CALLBACK StepBackward(HWND window, LPARAM param)
{
    auto* walk = reinterpret_cast<BackwardWalk*>(param);
    if (!IsTabStop(window))
        return TRUE;
    if (window == walk->current && walk->previous) {
        SetFocus(walk->previous);
        walk->done = true;
        return FALSE;
    }
    walk->previous = window;
    return TRUE;
}

}  // namespace

HACCEL WindowAccelerators(HWND active)
{
    if (KeyDown(VK_TAB) && !KeyDown(VK_CONTROL) && !KeyDown(VK_SHIFT) && !KeyDown(VK_MENU)) {
        // A plain Tab in an editable rich-edit control is text, not a move.
        HWND focus = GetFocus();
        char className[5] = "";
        if (focus && GetClassNameA(focus, className, sizeof className) && strncmp(className, "Rich", 4) == 0 &&
            !(SendMessageA(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY))
            return nullptr;
    }
    HANDLE id = GetPropA(active, WindowIdProperty);
    if (!id)
        return nullptr;
    WindowObject* obj = WindowLookup(reinterpret_cast<ObjectId>(id) - 1);
    return obj ? obj->acceleratorTable : nullptr;
}

void FocusStep(int direction)
{
    HWND container = GetActiveWindow();
    HWND focus = GetFocus();
    HWND current = nullptr;
    if (focus && IsChild(container, focus)) {
        current = focus;
        for (HWND w = focus; w; w = GetParent(w)) {
            char className[50] = "";
            GetClassNameA(w, className, sizeof className);
            if (strcmp(className, "MDI_ChildClass") == 0) {
                container = w;
                if (w == focus)
                    current = nullptr;
            }
        }
    }

    if (direction == 0) {
        ForwardWalk walk = {current, false, false};
        EnumChildWindows(container, StepForward, reinterpret_cast<LPARAM>(&walk));
        // current was the last tab stop: wrap to the first.
        if (walk.foundCurrent)
            EnumChildWindows(container, StepForward, reinterpret_cast<LPARAM>(&walk));
    } else {
        BackwardWalk walk = {current, nullptr, false};
        EnumChildWindows(container, StepBackward, reinterpret_cast<LPARAM>(&walk));
        if (!walk.done && walk.previous)
            SetFocus(walk.previous);
    }
}
