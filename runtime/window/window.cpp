#include "runtime/window/window.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

#include "runtime/core/heaps.h"
#include "runtime/core/instance.h"
#include "runtime/core/state_object.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/window/focus.h"
#include "runtime/window/live_sizing.h"
#include "runtime/window/window_names.h"
#include "runtime/window/window_proc.h"

namespace {

constexpr int32_t WindowGrowthStep = 16;
constexpr int32_t AcceleratorCount = 2;
constexpr uint32_t LibraryFlagBits = WindowCentreScreen | WindowCentreParent | WindowHidden;

ObjectTable* windowTable;
HICON classIcon;
HCURSOR classCursor;

void FreeEventState(void*)
{
    EventDataFree();
}

void RegisterWindowClass(const WindowClassName& name)
{
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = InstanceHandle;
    wc.hIcon = classIcon;
    wc.hCursor = classCursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.text;
    RegisterClassA(&wc);  // a failure shows as a failed CreateWindowExA
}

void FillTabAccelerators(ACCEL* entries)
{
    entries[0] = {FVIRTKEY | FNOINVERT, VK_TAB, FocusNextCommand};
    entries[1] = {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, FocusPreviousCommand};
}

// Centre of the reference window; negative coordinates become 0.
void CentreOn(HWND reference, int width, int height, int* x, int* y)
{
    RECT r;
    GetWindowRect(reference, &r);
    *x = std::max(0L, r.left + ((r.right - r.left) - width) / 2);
    *y = std::max(0L, r.top + ((r.bottom - r.top) - height) / 2);
}

}  // namespace

int GuiInit()
{
    InitCommonControls();
    return CoInitialize(nullptr);
}

void WindowInit()
{
    windowTable = ObjectTableNew(sizeof(WindowObject), WindowGrowthStep, WindowClose);
    eventStateRecord = static_cast<EventState*>(StateObjectNew(sizeof(EventState), nullptr, FreeEventState));
    classIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(1));
    classCursor = LoadCursorA(nullptr, IDC_ARROW);
    sizingStateRecord = static_cast<SizingState*>(StateObjectNew(sizeof(SizingState), nullptr, nullptr));
}

WindowObject* WindowLookup(ObjectId number)
{
    return static_cast<WindowObject*>(ObjectTableLookup(windowTable, number));
}

ObjectId WindowOfHandle(HWND window)
{
    // The property holds the number plus one, so that window 0 has one.
    return reinterpret_cast<ObjectId>(GetPropA(window, WindowIdProperty)) - 1;
}

intptr_t WindowOpen(ObjectId number, int x, int y, int width, int height, const char* title, uint32_t flags)
{
    return WindowOpenWithParent(number, x, y, width, height, title, flags, nullptr);
}

intptr_t WindowOpenWithParent(ObjectId number, int x, int y, int width, int height, const char* title,
                              uint32_t flags, HWND parent)
{
    auto* obj = static_cast<WindowObject*>(ObjectTableAllocate(windowTable, number));
    if (!obj)
        return 0;
    const bool autoNumber = number == AutoNumber;
    if (autoNumber)
        number = reinterpret_cast<ObjectId>(obj);

    // Taken before the window exists, so that running out of memory leaves
    // no window behind.
    auto* entries = static_cast<ACCEL*>(MainHeapAllocZero(AcceleratorCount * sizeof(ACCEL)));
    if (!entries) {
        ObjectTableRelease(windowTable, number);
        return 0;
    }

    const WindowClassName className = WindowClassNameOf(number);
    if (!title)
        title = "";
    RegisterWindowClass(className);

    const bool useGadgetList = !(flags & WindowNoGadgetList);
    flags &= ~WindowNoGadgetList;
    if (!(flags & ~LibraryFlagBits))
        flags |= WS_CAPTION;
    const bool hidden = flags & WindowHidden;
    flags &= ~WindowHidden;
    const DWORD style = flags & ~(WindowCentreScreen | WindowCentreParent);

    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    width = outer.right - outer.left;
    height = outer.bottom - outer.top;

    if ((x == WindowDefaultPosition || y == WindowDefaultPosition) &&
        !(flags & (WindowCentreScreen | WindowCentreParent))) {
        x = CW_USEDEFAULT;
        y = CW_USEDEFAULT;
    }
    if (flags & WindowCentreScreen) {
        const int sw = GetSystemMetrics(SM_CXSCREEN);
        const int sh = GetSystemMetrics(SM_CYSCREEN);
        width = std::min(width, sw);
        height = std::min(height, sh);
        x = (sw - width) / 2;
        y = (sh - height) / 2;
    } else if (flags & WindowCentreParent) {
        HWND reference = parent ? parent : GetActiveWindow();
        if (reference)
            CentreOn(reference, width, height, &x, &y);
    }

    obj->window = CreateWindowExA(0, className.text, title, style, x, y, width, height, parent, nullptr,
                                  InstanceHandle, nullptr);
    if (!obj->window) {
        MainHeapFree(entries);
        UnregisterClassA(className.text, InstanceHandle);
        ObjectTableRelease(windowTable, number);
        return 0;
    }
    HWND window = obj->window;
    SetPropA(window, WindowIdProperty, reinterpret_cast<HANDLE>(number + 1));

    if (!hidden) {
        if (style & WS_MAXIMIZE)
            ShowWindow(window, SW_MAXIMIZE);
        else if (style & WS_MINIMIZE)
            ShowWindow(window, SW_SHOWMINIMIZED);
        else
            ShowWindow(window, SW_SHOWNORMAL);
    }
    // Showing ran the window procedure, which may have closed the window.
    obj = WindowLookup(number);
    if (!obj) {
        MainHeapFree(entries);
        return 0;
    }
    obj->minimizedOrMaximized = (style & (WS_MINIMIZE | WS_MAXIMIZE)) ? 1 : 0;

    FillTabAccelerators(entries);
    obj->acceleratorEntries = entries;
    obj->acceleratorTable = CreateAcceleratorTableA(entries, AcceleratorCount);
    obj->acceleratorCount = AcceleratorCount;
    obj->mdiClient = nullptr;

    if (useGadgetList)
        GadgetListUse(window);
    return autoNumber ? number : reinterpret_cast<intptr_t>(window);
}

void WindowClose(ObjectId number)
{
    WindowObject* obj = WindowLookup(number);
    if (!obj)
        return;
    HWND window = obj->window;

    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && !obj->mdiClient)
        SetActiveWindow(owner);

    RemovePropA(window, WindowIdProperty);
    if (RemovePropA(window, DropAcceptProperty))
        RevokeDragDrop(window);

    if (obj->mdiClient) {
        SendMessageA(obj->mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    } else {
        DestroyWindow(window);
        UnregisterClassA(WindowClassNameOf(number).text, InstanceHandle);
    }

    // Destroying ran the window procedure, which may have moved the slots.
    obj = WindowLookup(number);
    if (!obj)
        return;
    if (obj->acceleratorEntries) {
        MainHeapFree(obj->acceleratorEntries);
        DestroyAcceleratorTable(obj->acceleratorTable);
    }
    if (obj->backgroundBrush)
        DeleteObject(obj->backgroundBrush);
    ObjectTableRelease(windowTable, number);
}

void WindowEndAll()
{
    ObjectTableReleaseAll(windowTable);  // WindowClose for each
    EventDataFree();
}
