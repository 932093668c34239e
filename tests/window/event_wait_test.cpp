#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

namespace {

constexpr UINT ProbeMessage = WM_APP + 5;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (to.QuadPart - from.QuadPart) * 1000.0 / f.QuadPart;
}

class EventWaitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureWindowLibrary();
        DrainEvents();
    }
    void TearDown() override
    {
        WindowEndAll();
        DrainEvents();
    }

    HWND OpenWindow(ObjectId number = 0, uint32_t flags = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
    {
        return reinterpret_cast<HWND>(WindowOpen(number, 50, 50, 300, 200, "Events", flags));
    }

    // Codes of the size-state events among what the queue holds now.
    static std::vector<int> SizeStateEvents()
    {
        std::vector<int> codes;
        for (int code : QueuedEvents())
            if (code == SizeEvent || code == MinimizeEvent || code == MaximizeEvent || code == RestoreEvent)
                codes.push_back(code);
        return codes;
    }

    // Takes events until the given code comes back; false after a bound.
    static bool WaitFor(int code, int timeout = 20, int rounds = 100)
    {
        for (int i = 0; i < rounds; ++i)
            if (EventWait(timeout) == code)
                return true;
        return false;
    }
};

TEST_F(EventWaitTest, QueuedShowEventsComeBackOneAtATimeBeforeNewMessages)
{
    HWND w = OpenWindow();
    ASSERT_NE(w, nullptr);
    const std::vector<int> queued = QueuedEvents();
    ASSERT_FALSE(queued.empty());
    EXPECT_NE(std::find(queued.begin(), queued.end(), ActivateEvent), queued.end());
    PostMessageA(w, ProbeMessage, 7, 9);

    for (int code : queued) {
        EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventWindow(), 0);
    }
    EXPECT_TRUE(WaitFor(ProbeMessage, 0));
    EXPECT_EQ(EventMessageWParam(), 7u);
    EXPECT_EQ(EventMessageLParam(), 9);
}

TEST_F(EventWaitTest, PostedCloseComesBackAsMessageThenAsEvent)
{
    HWND w = OpenWindow();
    DrainEvents();
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor(CloseEvent, 0, 20));  // the raw WM_CLOSE
    EXPECT_EQ(QueuedEvents(), std::vector<int>{CloseEvent});
    EXPECT_EQ(EventWait(0), CloseEvent);  // the queued event
    EXPECT_EQ(EventWindow(), 0);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(EventWaitTest, MinimiseRestoreAndMaximiseGiveTheirEvents)
{
    const struct {
        int show;  // 0: a plain resize of a normal window
        std::vector<int> events;
    } rows[] = {
        {SW_MINIMIZE, {MinimizeEvent}},
        {SW_RESTORE, {RestoreEvent, SizeEvent}},
        {SW_MAXIMIZE, {MaximizeEvent, SizeEvent}},
        {SW_RESTORE, {RestoreEvent, SizeEvent}},
        {0, {SizeEvent}},
    };
    HWND w = OpenWindow();
    DrainEvents();
    for (const auto& row : rows) {
        if (row.show)
            ShowWindow(w, row.show);
        else
            SetWindowPos(w, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(SizeStateEvents(), row.events) << "show command " << row.show;
        DrainEvents();
    }
}

TEST_F(EventWaitTest, TwoMovesInARowLeaveOneEvent)
{
    HWND w = OpenWindow();
    DrainEvents();
    SetWindowPos(w, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(w, nullptr, 70, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{MoveEvent});

    // Different windows do not coalesce.
    HWND other = OpenWindow(1);
    DrainEvents();
    SetWindowPos(w, nullptr, 80, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(other, nullptr, 90, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(QueuedEvents(), (std::vector<int>{MoveEvent, MoveEvent}));
    EXPECT_EQ(EventWait(0), MoveEvent);
    EXPECT_EQ(EventWindow(), 0);
    EXPECT_EQ(EventWait(0), MoveEvent);
    EXPECT_EQ(EventWindow(), 1);
}

// What one posted message gives: the code of the wait that dispatches it,
// and the source and type that the wait leaves behind.
struct Report {
    const char* what;
    HWND target;  // the window when null
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<int> codes;  // one wait each
    intptr_t source;
    int type;
};

TEST_F(EventWaitTest, PostedMessagesGiveTheirEventsFromTheDispatchingWait)
{
    HWND w = OpenWindow();
    HWND button = CreateWindowExA(0, "BUTTON", "?", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24, w,
                                  reinterpret_cast<HMENU>(36), InstanceHandle, nullptr);
    HWND relay = CreateWindowExA(0, "BUTTON", "m", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, w,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(-10000)), InstanceHandle, nullptr);
    ASSERT_TRUE(button && relay);
    const auto relayParam = reinterpret_cast<LPARAM>(relay);
    const int itemClickPosted = static_cast<int>(ItemClickPosted), itemClick = static_cast<int>(ItemClickMessage);
    const Report rows[] = {
        {"a button click", button, BM_CLICK, 0, 0, {GadgetEvent}, 36, BN_CLICKED},
        {"a command from the menu relay", w, WM_COMMAND, MAKEWPARAM(4321, BN_CLICKED), relayParam, {MenuEvent},
         4321, BN_CLICKED},
        {"a menu item", w, WM_COMMAND, MAKEWPARAM(77, 0), 0, {MenuEvent}, 77, -1},
        {"an accelerator of the caller's", w, WM_COMMAND, MAKEWPARAM(78, 1), 0, {MenuEvent}, 78, -1},
        {"an item click's repost", w, ItemClickPosted, 12, WM_MOUSEMOVE, {itemClickPosted}, 12, -1},
        {"an item click, reposted first", w, ItemClickMessage, 5, WM_RBUTTONDBLCLK,
         {itemClick, ItemClickEvent}, 5, 3},
        {"a string gadget losing the focus", w, GadgetFocusMessage, 9, FocusLost, {GadgetEvent}, 9, FocusLost},
    };
    for (const Report& row : rows) {
        SCOPED_TRACE(row.what);
        DrainEvents();
        PostMessageA(row.target, row.message, row.wParam, row.lParam);
        for (int code : row.codes)
            EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventSourceGadget(), row.source);
        EXPECT_EQ(EventType(), row.type);
    }

    // A wait without a message leaves the source and forgets the type.
    DrainEvents();
    EXPECT_EQ(EventWait(0), NoEvent);
    EXPECT_EQ(EventSourceGadget(), 9);
    EXPECT_EQ(EventType(), -1);
}

TEST_F(EventWaitTest, DataRecordsBelongToTheEventStateUntilTheNextWait)
{
    HWND w = OpenWindow();
    DrainEvents();
    // The record's sixth word owns a further block.
    auto* record = static_cast<void**>(HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, 8 * sizeof(void*)));
    record[5] = HeapAlloc(MainHeap, 0, 16);
    PostMessageA(w, GadgetDataMessage, 3, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(EventWait(0), GadgetDataEvent);
    EXPECT_EQ(Events()->eventData, record);
    EXPECT_EQ(EventSourceGadget(), 3);
    EventWait(0);
    EXPECT_EQ(Events()->eventData, nullptr);
}

TEST_F(EventWaitTest, MouseMoveOverTheWindowIsReturnedAsItsNumber)
{
    HWND w = OpenWindow();
    SetForegroundWindow(w);
    DrainEvents();
    RECT r;
    GetWindowRect(w, &r);
    bool seen = false;
    for (int i = 0; i < 20 && !seen; ++i) {
        SetCursorPos(r.left + 40 + i * 3, r.top + 60 + i);
        for (int j = 0; j < 10 && !seen; ++j)
            seen = EventWait(10) == WM_MOUSEMOVE;
    }
    EXPECT_TRUE(seen);
}

TEST_F(EventWaitTest, WaitTimesOutWithNoEvent)
{
    OpenWindow();
    DrainEvents();
    while (EventWait(0) != NoEvent) {
    }
    // A wake-up without a message to fetch may end a wait early (Wine's own
    // processes send the odd message), but a quiet wait runs its time out
    // and no wait runs much past it.
    double longest = 0;
    for (int i = 0; i < 5; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        const int code = EventWait(10);
        QueryPerformanceCounter(&t1);
        const double ms = Milliseconds(t0, t1);
        EXPECT_LT(ms, 500.0);
        if (code == NoEvent)
            longest = std::max(longest, ms);
    }
    EXPECT_GE(longest, 9.0);
}

TEST_F(EventWaitTest, PumpDiscardsPendingButKeepsQueued)
{
    HWND w = OpenWindow();
    DrainEvents();
    PostMessageA(w, GadgetFocusMessage, 1, FocusGained);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(EventPumpPending(), 0);
    EXPECT_EQ(Events()->pendingEvent, 0u);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{CloseEvent});
}

}  // namespace
