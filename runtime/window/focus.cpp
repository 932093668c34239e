// Tab navigation: the accelerator table to translate with, and the focus
// step that its two commands run.
#include <richedit.h>

#include <cstring>

#include "runtime/window/focus.h"
#include "runtime/window/window_table.h"

namespace {

// Both rich edit libraries' classes begin so: "RichEdit20A", "RichEdit".
// GetClassNameA cuts a name to the buffer, so a buffer just this size holds
// the prefix of any class that has it.
constexpr char RichEditPrefix[] = "Rich";
// An MDI child is a container of its own; one more character than its
// class name, so that a longer name that begins the same is not taken.
constexpr char MdiChildClass[] = "MDI_ChildClass";

bool KeyDown(int key)
{
    return GetKeyState(key) & 0x80;
}

bool IsTabStop(HWND window)
{
    return IsWindowEnabled(window) && IsWindowVisible(window) && (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

// What one step needs of the container's tab stops, in the order
// EnumChildWindows visits them: the ends, and the neighbours of the focus.
struct TabStops {
    HWND current;
    HWND first, last;
    HWND before, after;  // the stops next to current, when it is one
    bool found;
};

BOOL CALLBACK CollectTabStop(HWND window, LPARAM param)
{
    auto* stops = reinterpret_cast<TabStops*>(param);
    if (!IsTabStop(window))
        return TRUE;
    if (!stops->first)
        stops->first = window;
    if (stops->found && !stops->after)
        stops->after = window;
    if (window == stops->current)
        stops->found = true;
    else if (!stops->found)
        stops->before = window;
    stops->last = window;
    return TRUE;
}

}  // namespace

HACCEL WindowAccelerators(HWND active)
{
    if (KeyDown(VK_TAB) && !KeyDown(VK_CONTROL) && !KeyDown(VK_SHIFT) && !KeyDown(VK_MENU)) {
        // A plain Tab in an editable rich-edit control is text, not a move.
        HWND focus = GetFocus();
        char className[sizeof RichEditPrefix] = "";
        if (focus && GetClassNameA(focus, className, sizeof className) && strcmp(className, RichEditPrefix) == 0 &&
            !(SendMessageA(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY))
            return nullptr;
    }
    const ObjectId number = WindowOfHandle(active);
    WindowObject* obj = number != -1 ? WindowLookup(number) : nullptr;
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
            char className[sizeof MdiChildClass + 1] = "";
            GetClassNameA(w, className, sizeof className);
            if (strcmp(className, MdiChildClass) == 0) {
                container = w;
                if (w == focus)
                    current = nullptr;
            }
        }
    }

    TabStops stops = {current, nullptr, nullptr, nullptr, nullptr, false};
    EnumChildWindows(container, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
    if (!stops.first)
        return;
    if (direction == 0) {
        // From no focus to the first stop, from the last back to the first;
        // a focus that is no tab stop stays where it is.
        if (!current)
            SetFocus(stops.first);
        else if (stops.found)
            SetFocus(stops.after ? stops.after : stops.first);
    } else {
        // To the previous stop; from the first, from no focus and from a
        // focus that is no tab stop, to the last.
        SetFocus(stops.found && stops.before ? stops.before : stops.last);
    }
}
