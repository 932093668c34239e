#include "runtime/window/window.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

#include "runtime/core/heaps.h"
#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/window/class_icon.h"
#include "runtime/window/focus.h"
#include "runtime/window/live_sizing.h"
#include "runtime/window/window_names.h"
#include "runtime/window/window_proc.h"

namespace {

// Slots added when a number lies past the table; a program has few windows.
constexpr int32_t WindowGrowthStep = 16;
constexpr int32_t AcceleratorCount = 2;
constexpr uint32_t LibraryFlagBits = WindowCentreScreen | WindowCentreParent | WindowHidden;

HICON classIcon;
HCURSOR classCursor;

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

// The flag word split into the Win32 style and the library's own bits.
struct WindowStyle {
    DWORD style;
    uint32_t centre;  // WindowCentreScreen or WindowCentreParent, or 0
    bool hidden;
    bool useGadgetList;
};

WindowStyle DecodeWindowFlags(uint32_t flags)
{
    WindowStyle decoded;
    decoded.useGadgetList = !(flags & WindowNoGadgetList);
    flags &= ~WindowNoGadgetList;
    // Library bits alone would make a window without a frame.
    if (!(flags & ~LibraryFlagBits))
        flags |= WS_CAPTION;
    decoded.hidden = flags & WindowHidden;
    flags &= ~WindowHidden;
    decoded.centre = flags & (WindowCentreScreen | WindowCentreParent);
    decoded.style = flags & ~(WindowCentreScreen | WindowCentreParent);
    return decoded;
}

struct WindowPlace {
    int x;
    int y;
    int width;
    int height;
};

// The outer rectangle for a client area of width by height.
WindowPlace PlaceWindow(int x, int y, int width, int height, const WindowStyle& decoded, HWND parent)
{
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, decoded.style, FALSE);
    WindowPlace place = {x, y, outer.right - outer.left, outer.bottom - outer.top};

    if ((x == WindowDefaultPosition || y == WindowDefaultPosition) && !decoded.centre) {
        place.x = CW_USEDEFAULT;
        place.y = CW_USEDEFAULT;
    }
    if (decoded.centre & WindowCentreScreen) {
        const int sw = GetSystemMetrics(SM_CXSCREEN);
        const int sh = GetSystemMetrics(SM_CYSCREEN);
        place.width = std::min(place.width, sw);
        place.height = std::min(place.height, sh);
        place.x = (sw - place.width) / 2;
        place.y = (sh - place.height) / 2;
    } else if (decoded.centre & WindowCentreParent) {
        HWND reference = parent ? parent : GetActiveWindow();
        if (reference)
            CentreOn(reference, place.width, place.height, &place.x, &place.y);
    }
    return place;
}

// Registers the window's own class and creates the window; a failed
// creation takes the class away again.
HWND CreateClassWindow(const WindowClassName& className, const char* title, DWORD style, const WindowPlace& place,
                       HWND parent)
{
    RegisterWindowClass(className);
    HWND window = CreateWindowExA(0, className.text, title, style, place.x, place.y, place.width, place.height,
                                  parent, nullptr, InstanceHandle, nullptr);
    if (!window)
        UnregisterClassA(className.text, InstanceHandle);
    return window;
}

int ShowCommandOf(DWORD style)
{
    if (style & WS_MAXIMIZE)
        return SW_MAXIMIZE;
    return (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

}  // namespace

int GuiInit()
{
    InitCommonControls();
    return CoInitialize(nullptr);
}

void WindowInit()
{
    WindowTable = ObjectTableNew(sizeof(WindowObject), WindowGrowthStep, WindowClose);
    EventInit();
    classIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(ClassIconResource));
    classCursor = LoadCursorA(nullptr, IDC_ARROW);
    LiveSizingInit();
    GadgetEventPump = EventPumpPending;
}

intptr_t WindowOpen(ObjectId number, int x, int y, int width, int height, const char* title, uint32_t flags)
{
    return WindowOpenWithParent(number, x, y, width, height, title, flags, nullptr);
}

intptr_t WindowOpenWithParent(ObjectId number, int x, int y, int width, int height, const char* title,
                              uint32_t flags, HWND parent)
{
    // Without its event state no window could be served: the caller ends
    // as when a window cannot be made.
    if (!Events())
        return 0;
    auto* obj = static_cast<WindowObject*>(ObjectTableAllocate(WindowTable, number));
    if (!obj)
        return 0;
    const bool autoNumber = number == AutoNumber;
    if (autoNumber)
        number = reinterpret_cast<ObjectId>(obj);

    // Taken before the window exists, so that running out of memory leaves
    // no window behind.
    auto* entries = static_cast<ACCEL*>(MainHeapAllocZero(AcceleratorCount * sizeof(ACCEL)));
    const WindowStyle decoded = DecodeWindowFlags(flags);
    HWND window = nullptr;
    if (entries) {
        const WindowPlace place = PlaceWindow(x, y, width, height, decoded, parent);
        window = CreateClassWindow(WindowClassNameOf(number), title ? title : "", decoded.style, place, parent);
    }
    if (window) {
        // A callback during creation (the owner's, for an owned window) may
        // have grown the table, which moves the numbered slots, or taken
        // this number.
        obj = static_cast<WindowObject*>(ObjectTableSlot(WindowTable, number));
        if (!obj || obj->window) {
            DestroyWindow(window);
            MainHeapFree(entries);
            return 0;
        }
        obj->window = window;
        SetPropA(window, WindowIdProperty, reinterpret_cast<HANDLE>(number + 1));
        if (!decoded.hidden)
            ShowWindow(window, ShowCommandOf(decoded.style));
        // Showing ran the window procedure, which may have closed the window.
        obj = WindowLookup(number);
    }
    if (!window || !obj) {
        // A window closed while being shown has given its number back.
        MainHeapFree(entries);
        if (!window)
            ObjectTableRelease(WindowTable, number);
        return 0;
    }
    obj->minimizedOrMaximized = (decoded.style & (WS_MINIMIZE | WS_MAXIMIZE)) ? 1 : 0;

    FillTabAccelerators(entries);
    obj->acceleratorEntries = entries;
    obj->acceleratorTable = CreateAcceleratorTableA(entries, AcceleratorCount);
    obj->acceleratorCount = AcceleratorCount;
    obj->mdiClient = nullptr;

    if (decoded.useGadgetList)
        GadgetListUse(window);
    return autoNumber ? number : reinterpret_cast<intptr_t>(window);
}

void WindowClose(ObjectId number)
{
    WindowObject* obj = WindowLookup(number);
    if (!obj)
        return;
    HWND window = obj->window;
    // Activating the owner runs callbacks, which may move the record.
    HWND mdiClient = obj->mdiClient;

    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && !mdiClient)
        SetActiveWindow(owner);

    RemovePropA(window, WindowIdProperty);
    if (RemovePropA(window, DropAcceptProperty))
        RevokeDragDrop(window);

    if (mdiClient) {
        SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
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
    ObjectTableRelease(WindowTable, number);
}

void WindowEndAll()
{
    ObjectTableReleaseAll(WindowTable);  // WindowClose for each
    EventEnd();
}
