#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/window_library.h"

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
    HWND w = OpenWindow();
    DrainEvents();

    ShowWindow(w, SW_MINIMIZE);
    EXPECT_EQ(SizeStateEvents(), std::vector<int>{MinimizeEvent});
    DrainEvents();

    ShowWindow(w, SW_RESTORE);
    EXPECT_EQ(SizeStateEvents(), (std::vector<int>{RestoreEvent, SizeEvent}));
    DrainEvents();

    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_EQ(SizeStateEvents(), (std::vector<int>{MaximizeEvent, SizeEvent}));
    DrainEvents();

    ShowWindow(w, SW_RESTORE);
    EXPECT_EQ(SizeStateEvents(), (std::vector<int>{RestoreEvent, SizeEvent}));
    DrainEvents();

    // Restored while already normal: a size change only.
    SetWindowPos(w, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(SizeStateEvents(), std::vector<int>{SizeEvent});
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

TEST_F(EventWaitTest, ButtonClickGivesGadgetEventFromTheDispatchingCall)
{
    HWND w = OpenWindow();
    HWND button = CreateWindowExA(0, "BUTTON", "?", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24, w,
                                  reinterpret_cast<HMENU>(36), InstanceHandle, nullptr);
    ASSERT_NE(button, nullptr);
    DrainEvents();

    PostMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(EventWait(0), GadgetEvent);
    EXPECT_EQ(EventSourceGadget(), 36);
    EXPECT_EQ(EventType(), BN_CLICKED);

    DrainEvents();
    EXPECT_EQ(EventWait(0), NoEvent);
    EXPECT_EQ(EventSourceGadget(), 36);
    EXPECT_EQ(EventType(), -1);
}

TEST_F(EventWaitTest, CommandsFromMenusAndTheMenuControlGiveMenuEvents)
{
    HWND w = OpenWindow();
    HWND control = CreateWindowExA(0, "BUTTON", "m", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, w,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(-10000)), InstanceHandle, nullptr);
    ASSERT_NE(control, nullptr);
    DrainEvents();

    PostMessageA(w, WM_COMMAND, MAKEWPARAM(4321, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(EventWait(0), MenuEvent);
    EXPECT_EQ(EventSourceGadget(), 4321);
    EXPECT_EQ(EventType(), BN_CLICKED);

    PostMessageA(w, WM_COMMAND, MAKEWPARAM(77, 0), 0);  // a menu item
    EXPECT_EQ(EventWait(0), MenuEvent);
    EXPECT_EQ(EventSourceGadget(), 77);

    PostMessageA(w, WM_COMMAND, MAKEWPARAM(78, 1), 0);  // an accelerator of the caller's
    EXPECT_EQ(EventWait(0), MenuEvent);
    EXPECT_EQ(EventSourceGadget(), 78);
}

TEST_F(EventWaitTest, ItemClicksAreReportedWhenTheRepostIsDispatched)
{
    HWND w = OpenWindow();
    DrainEvents();

    PostMessageA(w, ItemClickPosted, 12, WM_MOUSEMOVE);
    EXPECT_EQ(EventWait(0), static_cast<int>(ItemClickPosted));
    EXPECT_EQ(EventSourceGadget(), 12);

    PostMessageA(w, ItemClickMessage, 5, WM_RBUTTONDBLCLK);
    EXPECT_EQ(EventWait(0), static_cast<int>(ItemClickMessage));  // reposted, no event yet
    EXPECT_EQ(EventWait(0), ItemClickEvent);
    EXPECT_EQ(EventSourceGadget(), 5);
    EXPECT_EQ(EventType(), 3);
}

TEST_F(EventWaitTest, GadgetFocusMessageAndDataRecords)
{
    HWND w = OpenWindow();
    DrainEvents();

    PostMessageA(w, GadgetFocusMessage, 9, FocusLost);
    EXPECT_EQ(EventWait(0), GadgetEvent);
    EXPECT_EQ(EventSourceGadget(), 9);
    EXPECT_EQ(EventType(), FocusLost);

    // The record and its sixth word's block belong to the event state now,
    // and are freed by the next wait.
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
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    EXPECT_EQ(EventWait(0), NoEvent);
    QueryPerformanceCounter(&t1);
    EXPECT_LT(Milliseconds(t0, t1), 5.0);

    // A wake-up without a message to fetch may end a wait early (Wine's own
    // processes send the odd message), but a quiet wait runs its time out
    // and no wait runs much past it.
    double longest = 0;
    for (int i = 0; i < 5; ++i) {
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
