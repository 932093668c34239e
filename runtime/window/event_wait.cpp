#include "runtime/core/heaps.h"
#include "runtime/core/state_object.h"
#include "runtime/window/events.h"
#include "runtime/window/focus.h"

namespace {

EventState* eventStateRecord;

constexpr UINT PeekFlags = PM_REMOVE | PM_NOYIELD;
constexpr DWORD WakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                           QS_SENDMESSAGE | QS_HOTKEY | QS_ALLPOSTMESSAGE;
// The senders' data record layout: its sixth word owns a further block.
constexpr int EventDataBlockWord = 5;

bool FetchMessage(int timeout, MSG* msg)
{
    if (timeout == -1) {
        GetMessageA(msg, nullptr, 0, 0);
        return true;
    }
    if (PeekMessageA(msg, nullptr, 0, 0, PeekFlags))
        return true;
    if (timeout == 0)
        return false;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout, WakeMask) == WAIT_TIMEOUT)
        return false;
    // One more look; a wake-up for a sent message has already been served.
    return PeekMessageA(msg, nullptr, 0, 0, PeekFlags);
}

void FreeEventState(void*)
{
    EventDataFree();
}

}  // namespace

void EventInit()
{
    eventStateRecord = static_cast<EventState*>(StateObjectNew(sizeof(EventState), nullptr, FreeEventState));
}

void EventEnd()
{
    EventDataFree();
}

EventState* Events()
{
    return eventStateRecord;
}

void EventStateForget()
{
    eventStateRecord = nullptr;
}

void EventDataFree()
{
    EventState* events = Events();
    if (!events || !events->eventData)
        return;
    auto* record = static_cast<void**>(events->eventData);
    MainHeapFree(record[EventDataBlockWord]);
    MainHeapFree(record);
    events->eventData = nullptr;
}

void EventQueueAdd(int code, int window)
{
    EventState* events = Events();
    if (!events)
        return;
    // A burst of identical events leaves one entry.
    if (events->queueTail && events->queueTail->code == code && events->queueTail->window == window)
        return;
    auto* node = static_cast<EventQueueNode*>(MainHeap ? HeapAlloc(MainHeap, 0, sizeof(EventQueueNode)) : nullptr);
    if (!node)
        return;
    node->next = nullptr;
    node->code = code;
    node->window = window;
    if (events->queueTail)
        events->queueTail->next = node;
    else
        events->queueHead = node;
    events->queueTail = node;
}

int EventWait(int timeout)
{
    EventState* events = Events();
    if (!events)
        return NoEvent;
    EventDataFree();
    events->eventType = -1;

    if (EventQueueNode* node = events->queueHead) {
        const int code = node->code;
        events->eventWindow = node->window;
        events->pendingEvent = 0;
        events->queueHead = node->next;
        if (!events->queueHead)
            events->queueTail = nullptr;
        MainHeapFree(node);
        return code;
    }

    MSG msg;
    if (!FetchMessage(timeout, &msg))
        return NoEvent;

    HWND active = GetActiveWindow();
    HACCEL table = WindowAccelerators(active);
    if (!table || !TranslateAcceleratorA(active, table, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    if (events->pendingEvent) {
        const int code = static_cast<int>(events->pendingEvent);
        events->pendingEvent = 0;
        return code;
    }
    events->messageWParam = msg.wParam;
    events->messageLParam = msg.lParam;
    return static_cast<int>(msg.message);
}

int EventPumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (EventState* events = Events())
        events->pendingEvent = 0;
    return 0;
}

void EventSetThreadWindowCallback(WindowCallbackRoutine callback)
{
    if (EventState* events = Events())
        events->threadWindowCallback = callback;
}

intptr_t EventSourceGadget()
{
    return Events() ? Events()->eventSource : 0;
}

int EventWindow()
{
    return Events() ? Events()->eventWindow : -1;
}

int EventType()
{
    return Events() ? Events()->eventType : -1;
}

WPARAM EventMessageWParam()
{
    return Events() ? Events()->messageWParam : 0;
}

LPARAM EventMessageLParam()
{
    return Events() ? Events()->messageLParam : 0;
}
