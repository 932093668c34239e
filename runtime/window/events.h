// Event codes, the event state and the event wait.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/window_reports.h"
#include "runtime/window/window_table.h"

// EventWait returns the number of a message that made no event, so the
// codes share one space with message numbers: the window-state events are
// the numbers of the messages that cause them, and the runtime's own lie
// in the private range above WM_USER, where no system message falls.
constexpr int NoEvent = 0;
constexpr int MoveEvent = WM_MOVE;
constexpr int SizeEvent = WM_SIZE;
constexpr int RepaintEvent = WM_PAINT;
constexpr int CloseEvent = WM_CLOSE;
static_assert(MoveEvent == 3 && SizeEvent == 5 && RepaintEvent == 15 && CloseEvent == 16,
              "the window-state events are their messages' numbers");
constexpr int GadgetEvent = 13100;
constexpr int MenuEvent = 13101;
constexpr int ItemClickEvent = 13102;
constexpr int ActivateEvent = 13104;
constexpr int DataEvent = 13105;
constexpr int GadgetDataEvent = 13106;
constexpr int MinimizeEvent = 13107;
constexpr int MaximizeEvent = 13108;
constexpr int RestoreEvent = 13109;

struct EventQueueNode {
    EventQueueNode* next;
    int32_t code;
    int32_t window;
};

struct EventState {
    intptr_t eventSource;  // a gadget number, which may be an AutoNumber handle
    int32_t eventWindow;
    int32_t eventType;
    uint32_t pendingEvent;
    WPARAM messageWParam;
    LPARAM messageLParam;
    EventQueueNode* queueHead;
    EventQueueNode* queueTail;
    WindowCallbackRoutine threadWindowCallback;
    void* eventData;  // owns a MainHeap record whose sixth word owns a block
};

// EventInit makes the state (called by WindowInit); null before, or when
// memory ran out. EventEnd frees the event data not yet taken.
void EventInit();
void EventEnd();
EventState* Events();
// Null again, for RuntimeEnd just before the MainHeap that holds the state goes.
void EventStateForget();

// One event: a queued one first, else what one dispatched message produced,
// else that message's number, else NoEvent. timeout: -1 waits without
// limit, 0 does not wait.
int EventWait(int timeout);
intptr_t EventSourceGadget();
// What every library window without a callback of its own offers each
// message to first; null for none. Nothing happens without an event state.
void EventSetThreadWindowCallback(WindowCallbackRoutine callback);
void EventQueueAdd(int code, int window);
void EventDataFree();
// Dispatches every waiting message and reports none of what they produced.
int EventPumpPending();

// Details of the last event, for callers that want them.
int EventWindow();
int EventType();
WPARAM EventMessageWParam();
LPARAM EventMessageLParam();
