#include <ole2.h>

#include "runtime/core/not_handled.h"
#include "runtime/core/property_names.h"
#include "runtime/window/events.h"
#include "runtime/window/focus.h"
#include "runtime/window/live_sizing.h"
#include "runtime/window/window_proc.h"
#include "runtime/window/window_table.h"

namespace {

struct Home {
    HWND window;  // null when the message belongs to no library window
    ObjectId number;
    WindowObject* obj;
};

Home FindHome(HWND window)
{
    for (HWND w = window; w; w = GetParent(w)) {
        const ObjectId number = WindowOfHandle(w);
        if (number != -1)
            return {w, number, WindowLookup(number)};
    }
    return {nullptr, -1, nullptr};
}

void QueueIfOwned(int code, ObjectId number)
{
    if (number != -1)
        EventQueueAdd(code, static_cast<int>(number));
}

// A control with this identifier relays menu commands (a tool bar, say):
// its commands are menu events, not gadget events.
constexpr LONG_PTR MenuRelayIdentifier = -10000;

void SetPending(int code)
{
    Events()->pendingEvent = code;
}

LRESULT HandleSize(const Home& home, HWND window, WPARAM wParam)
{
    if (window != home.window)
        return 1;
    if (home.number == -1 || !home.obj)
        return NotHandled;
    const int number = static_cast<int>(home.number);
    switch (wParam) {
    case SIZE_RESTORED:
        if (home.obj->minimizedOrMaximized) {
            home.obj->minimizedOrMaximized = 0;
            EventQueueAdd(RestoreEvent, number);
        }
        EventQueueAdd(SizeEvent, number);
        break;
    case SIZE_MINIMIZED:
        home.obj->minimizedOrMaximized = 1;
        EventQueueAdd(MinimizeEvent, number);
        break;
    case SIZE_MAXIMIZED:
        home.obj->minimizedOrMaximized = 1;
        EventQueueAdd(MaximizeEvent, number);
        EventQueueAdd(SizeEvent, number);
        break;
    default:
        EventQueueAdd(SizeEvent, number);
        break;
    }
    return 0;
}

LRESULT HandleEraseBackground(const Home& home, HWND window, WPARAM wParam)
{
    LRESULT result = NotHandled;
    auto dc = reinterpret_cast<HDC>(wParam);
    if (home.obj && home.obj->backgroundBrush) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, home.obj->backgroundBrush);
        result = 1;
    } else if (home.obj && window == home.obj->window && home.obj->paintCallback) {
        result = home.obj->paintCallback(dc, window);
    }
    EventQueueAdd(RepaintEvent, static_cast<int>(home.number));
    return result;
}

BOOL CALLBACK SendSysColorChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

LRESULT HandleCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    auto control = reinterpret_cast<HWND>(lParam);
    if (GadgetForwardMessage(control, window, WM_COMMAND, wParam, lParam) != NotHandled)
        return 0;
    EventState* events = Events();
    if (control) {
        const LONG_PTR id = GetWindowLongPtrA(control, GWLP_ID);
        if (id == MenuRelayIdentifier) {
            SetPending(MenuEvent);
            events->eventSource = LOWORD(wParam);
        } else {
            SetPending(GadgetEvent);
            events->eventSource = id;
        }
        events->eventType = HIWORD(wParam);
    } else if (HIWORD(wParam) == 0) {
        SetPending(MenuEvent);
        events->eventSource = LOWORD(wParam);
    } else if (LOWORD(wParam) == FocusNextCommand) {
        FocusStep(0);
    } else if (LOWORD(wParam) == FocusPreviousCommand) {
        FocusStep(1);
    } else {
        SetPending(MenuEvent);
        events->eventSource = LOWORD(wParam);
    }
    return 0;
}

LRESULT HandleItemClick(WPARAM wParam, LPARAM lParam)
{
    EventState* events = Events();
    events->eventSource = static_cast<intptr_t>(wParam);
    int type;
    switch (lParam) {
    case WM_LBUTTONDOWN: type = 0; break;
    case WM_RBUTTONDOWN: type = 1; break;
    case WM_LBUTTONDBLCLK: type = 2; break;
    case WM_RBUTTONDBLCLK: type = 3; break;
    default:
        SetPending(NoEvent);
        return 0;
    }
    SetPending(ItemClickEvent);
    events->eventType = type;
    return 0;
}

// Hands a data record over to the event state, freeing one not yet taken.
void TakeEventData(LPARAM lParam)
{
    EventDataFree();
    Events()->eventData = reinterpret_cast<void*>(lParam);
}

// Everything a library window does with a message, or NotHandled.
LRESULT WindowDispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT sizing = LiveSizingFilter(window, message, wParam, lParam);
    if (sizing != NotHandled)
        return sizing;

    const Home home = FindHome(window);
    EventState* events = Events();
    if (!events)
        return NotHandled;

    WindowCallbackRoutine callback = home.obj && home.obj->windowCallback ? home.obj->windowCallback
                                                                          : events->threadWindowCallback;
    if (callback) {
        LRESULT r = callback(window, message, wParam, lParam);
        if (r != ProceedDefault)
            return r;
    }

    events->eventWindow = static_cast<int32_t>(home.number);

    switch (message) {
    case WM_MOVE:
        QueueIfOwned(MoveEvent, home.number);
        return 0;
    case WM_SIZE:
        return HandleSize(home, window, wParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            EventQueueAdd(ActivateEvent, static_cast<int>(home.number));
        return 1;
    case WM_CLOSE:
        QueueIfOwned(CloseEvent, home.number);
        return 0;
    case WM_ERASEBKGND:
        return HandleEraseBackground(home, window, wParam);
    case WM_SYSCOLORCHANGE:
        if (home.obj && !home.obj->mdiClient)
            EnumChildWindows(window, SendSysColorChange, 0);
        return NotHandled;
    case WM_GETMINMAXINFO: {
        if (!home.obj)
            return NotHandled;
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (home.obj->minWidth)
            info->ptMinTrackSize.x = home.obj->minWidth;
        if (home.obj->minHeight)
            info->ptMinTrackSize.y = home.obj->minHeight;
        if (home.obj->maxWidth)
            info->ptMaxTrackSize.x = home.obj->maxWidth;
        if (home.obj->maxHeight)
            info->ptMaxTrackSize.y = home.obj->maxHeight;
        return 0;
    }
    case WM_NOTIFY:
        return GadgetForwardMessage(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, window, message, wParam, lParam);
    case WM_COMMAND:
        return HandleCommand(window, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case GadgetForwardedMessage:
        return GadgetForwardMessage(reinterpret_cast<HWND>(lParam), window, message, wParam, lParam);
    case ItemClickMessage:
        PostMessageA(window, ItemClickPosted, wParam, lParam);
        return 0;
    case ItemClickPosted:
        return HandleItemClick(wParam, lParam);
    case GadgetFocusMessage:
        SetPending(GadgetEvent);
        events->eventSource = static_cast<intptr_t>(wParam);
        events->eventType = static_cast<int32_t>(lParam);
        return 0;
    case DataMessage:
        SetPending(DataEvent);
        TakeEventData(lParam);
        return 0;
    case GadgetDataMessage:
        SetPending(GadgetDataEvent);
        events->eventSource = static_cast<intptr_t>(wParam);
        TakeEventData(lParam);
        return 0;
    default:
        return NotHandled;
    }
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = WindowDispatch(window, message, wParam, lParam);
    auto mdiClient = static_cast<HWND>(GetPropA(window, MdiGadgetProperty));
    if (message != WM_SIZE && mdiClient) {
        if (result == NotHandled || message == WM_SETFOCUS || message == WM_MENUCHAR ||
            (message == WM_COMMAND && lParam == 0))
            return DefFrameProcA(window, mdiClient, message, wParam, lParam);
        return result;
    }
    SetLastError(0);
    return result == NotHandled ? DefWindowProcA(window, message, wParam, lParam) : result;
}
