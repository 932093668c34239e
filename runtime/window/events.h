// Event codes, the event state and the event wait.
#pragma once

#include <windows.h>
#include <cstdint>

constexpr int NoEvent = 0;
constexpr int MoveEvent = 3;
constexpr int SizeEvent = 5;
constexpr int RepaintEvent = 15;
constexpr int CloseEvent = 16;
constexpr int GadgetEvent = 13100;
constexpr int MenuEvent = 13101;
constexpr int ItemClickEvent = 13102;
constexpr int ActivateEvent = 13104;
constexpr int DataEvent = 13105;
constexpr int GadgetDataEvent = 13106;
constexpr int MinimizeEvent = 13107;
constexpr int MaximizeEvent = 13108;
constexpr int RestoreEvent = 13109;

// Messages by which other parts of the runtime report to a window.
constexpr UINT ItemClickMessage = 12501;       // posted again as ItemClickPosted
constexpr UINT ItemClickPosted = 12502;
constexpr UINT GadgetFocusMessage = 13103;     // wParam gadget, lParam FocusGained/FocusLost
constexpr UINT DataMessage = 13105;            // lParam an event data record
constexpr UINT GadgetDataMessage = 13106;      // wParam gadget, lParam an event data record
constexpr UINT GadgetForwardedMessage = 13120; // forwarded to the gadget in lParam
constexpr int FocusGained = 14000;
constexpr int FocusLost = 14001;

// Tab navigation commands of every window's accelerator table.
constexpr WORD FocusNextCommand = 64001;
constexpr WORD FocusPreviousCommand = 64002;

using WindowCallbackRoutine = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a window callback returns to let the library handle the message.
constexpr LRESULT ProceedDefault = static_cast<LRESULT>(0xE0E0E0E1u);

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

// Made by WindowInit.
extern EventState* eventStateRecord;
EventState* Events();

// One event: a queued one first, else what one dispatched message produced,
// else that message's number, else NoEvent. timeout: -1 waits without
// limit, 0 does not wait.
int EventWait(int timeout);
intptr_t EventSourceGadget();
int EventPumpPending();
void EventQueueAdd(int code, int window);
void EventDataFree();

// Details of the last event, for callers that want them.
int EventWindow();
int EventType();
WPARAM EventMessageWParam();
LPARAM EventMessageLParam();

// Tab navigation.
HACCEL WindowAccelerators(HWND active);
void FocusStep(int direction);
