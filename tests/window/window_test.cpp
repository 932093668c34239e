#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/window/focus.h"
#include "runtime/window/window_names.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

namespace {

class WindowTest : public ::testing::Test {
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
    static HWND Open(ObjectId number, uint32_t flags = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
    {
        return reinterpret_cast<HWND>(WindowOpen(number, 50, 50, 300, 200, "Events", flags));
    }
    // Takes events until code comes back.
    static bool WaitFor(int code)
    {
        for (int i = 0; i < 100; ++i)
            if (EventWait(0) == code)
                return true;
        return false;
    }
    static void Move(HWND w, int to) { SetWindowPos(w, nullptr, to, to, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }
};

TEST_F(WindowTest, NoMemoryLeavesNothingBehind)
{
    HANDLE saved = MainHeap;
    MainHeap = nullptr;  // neither slots nor accelerator block can be had
    EXPECT_EQ(WindowOpen(200, 0, 0, 100, 100, "x", 0), 0);
    EXPECT_EQ(WindowOpen(12, 0, 0, 100, 100, "x", 0), 0);
    MainHeap = saved;
    EXPECT_EQ(WindowLookup(12), nullptr);
    WNDCLASSA unused;
    EXPECT_FALSE(GetClassInfoA(InstanceHandle, WindowClassNameOf(12).text, &unused));
    EXPECT_EQ(FindWindowA(WindowClassNameOf(12).text, nullptr), nullptr);
}

TEST_F(WindowTest, ShowEventsComeBackOneAtATimeBeforeNewMessages)
{
    ASSERT_NE(Open(7, WindowHidden), nullptr);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{});
    HWND w = Open(0);
    const std::vector<int> queued = QueuedEvents();
    EXPECT_NE(std::find(queued.begin(), queued.end(), ActivateEvent), queued.end());
    PostMessageA(w, WM_APP, 7, 9);
    for (int code : queued) {
        EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventWindow(), 0);
    }
    EXPECT_TRUE(WaitFor(WM_APP));
    EXPECT_EQ(EventMessageWParam(), 7u);
    EXPECT_EQ(EventMessageLParam(), 9);

    // A close comes back as the message, then as the queued event; the
    // window stays.
    DrainEvents();
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor(CloseEvent));
    EXPECT_EQ(QueuedEvents(), std::vector<int>{CloseEvent});
    EXPECT_TRUE(IsWindowVisible(w));

    // Moves of one window coalesce, of two do not.
    HWND other = Open(1);
    DrainEvents();
    Move(w, 60), Move(w, 70);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{MoveEvent});
    Move(other, 90);
    EXPECT_EQ(QueuedEvents(), (std::vector<int>{MoveEvent, MoveEvent}));
    EXPECT_EQ(EventWait(0), MoveEvent);
    EXPECT_EQ(EventWindow(), 0);
    EXPECT_EQ(EventWait(0), MoveEvent);
    EXPECT_EQ(EventWindow(), 1);
}

TEST_F(WindowTest, MinimiseRestoreAndMaximiseGiveTheirEvents)
{
    const struct {
        int show;  // 0: a plain resize of a normal window
        std::vector<int> events;
    } rows[] = {
        {SW_MINIMIZE, {MinimizeEvent}},           {SW_RESTORE, {RestoreEvent, SizeEvent}},
        {SW_MAXIMIZE, {MaximizeEvent, SizeEvent}}, {SW_RESTORE, {RestoreEvent, SizeEvent}},
        {0, {SizeEvent}},
    };
    HWND w = Open(0);
    DrainEvents();
    for (const auto& row : rows) {
        if (row.show)
            ShowWindow(w, row.show);
        else
            SetWindowPos(w, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        std::vector<int> sizing;
        for (int code : QueuedEvents())
            if (code == SizeEvent || code == MinimizeEvent || code == MaximizeEvent || code == RestoreEvent)
                sizing.push_back(code);
        EXPECT_EQ(sizing, row.events) << "show command " << row.show;
        DrainEvents();
    }
}

// The code of each wait that one posted message takes, and the source and
// type the last wait leaves behind.
TEST_F(WindowTest, PostedMessagesGiveTheirEventsFromTheDispatchingWait)
{
    HWND w = Open(0);
    HWND button = CreateWindowExA(0, "BUTTON", "?", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24, w,
                                  reinterpret_cast<HMENU>(36), InstanceHandle, nullptr);
    HWND relay = CreateWindowExA(0, "BUTTON", "m", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, w,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(-10000)), InstanceHandle, nullptr);
    ASSERT_TRUE(button && relay);
    const int itemClickPosted = static_cast<int>(ItemClickPosted), itemClick = static_cast<int>(ItemClickMessage);
    const struct {
        const char* what;
        HWND target;  // the window when null
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<int> codes;
        intptr_t source;
        int type;
    } rows[] = {
        {"a button click", button, BM_CLICK, 0, 0, {GadgetEvent}, 36, BN_CLICKED},
        {"a command from the menu relay", w, WM_COMMAND, MAKEWPARAM(4321, BN_CLICKED),
         reinterpret_cast<LPARAM>(relay), {MenuEvent}, 4321, BN_CLICKED},
        {"a menu item", w, WM_COMMAND, MAKEWPARAM(77, 0), 0, {MenuEvent}, 77, -1},
        {"an accelerator of the caller's", w, WM_COMMAND, MAKEWPARAM(78, 1), 0, {MenuEvent}, 78, -1},
        {"an item click's repost", w, ItemClickPosted, 12, WM_MOUSEMOVE, {itemClickPosted}, 12, -1},
        {"an item click, reposted first", w, ItemClickMessage, 5, WM_RBUTTONDBLCLK, {itemClick, ItemClickEvent}, 5,
         3},
        {"a string gadget losing the focus", w, GadgetFocusMessage, 9, FocusLost, {GadgetEvent}, 9, FocusLost},
        {"no message: the source stays, the type goes", nullptr, 0, 0, 0, {NoEvent}, 9, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DrainEvents();
        if (row.target)
            PostMessageA(row.target, row.message, row.wParam, row.lParam);
        for (int code : row.codes)
            EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventSourceGadget(), row.source);
        EXPECT_EQ(EventType(), row.type);
    }

    // A data record belongs to the event state until the next wait.
    auto* record = static_cast<void**>(HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, 8 * sizeof(void*)));
    record[5] = HeapAlloc(MainHeap, 0, 16);  // owned by the record
    PostMessageA(w, GadgetDataMessage, 3, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(EventWait(0), GadgetDataEvent);
    EXPECT_EQ(Events()->eventData, record);
    EXPECT_EQ(EventSourceGadget(), 3);
    EventWait(0);
    EXPECT_EQ(Events()->eventData, nullptr);

    // Pumping discards what would be reported but keeps queued events.
    PostMessageA(w, GadgetFocusMessage, 1, FocusGained);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(EventPumpPending(), 0);
    EXPECT_EQ(Events()->pendingEvent, 0u);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{CloseEvent});
}

// A wake-up without a message may end a wait early (Wine's own processes
// send the odd message), but a quiet wait runs its time out and no wait
// runs much past it.
TEST_F(WindowTest, WaitTimesOutWithNoEvent)
{
    Open(0);
    while (EventWait(0) != NoEvent) {
    }
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    double longest = 0;
    for (int i = 0; i < 5; ++i) {
        QueryPerformanceCounter(&t0);
        const int code = EventWait(10);
        QueryPerformanceCounter(&t1);
        const double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / frequency.QuadPart;
        EXPECT_LT(ms, 500.0);
        if (code == NoEvent)
            longest = std::max(longest, ms);
    }
    EXPECT_GE(longest, 9.0);
}

class FocusTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_NE(LoadLibraryA("RICHED20.DLL"), nullptr);
        window = reinterpret_cast<HWND>(WindowOpen(0, 100, 100, 300, 300, "Focus", WS_SYSMENU));
        SetForegroundWindow(window);
        a = Child("EDIT", WS_TABSTOP, 0);
        label = Child("STATIC", 0, 30);
        b = Child("EDIT", WS_TABSTOP, 60);
        Child("EDIT", WS_TABSTOP, 90, 0);  // hidden
        c = Child("EDIT", WS_TABSTOP, 120);
        rich = Child("RichEdit20A", WS_TABSTOP | ES_MULTILINE, 150);
        readOnly = Child("RichEdit20A", WS_TABSTOP | ES_MULTILINE | ES_READONLY, 180);
        DrainEvents();
    }
    HWND Child(const char* cls, DWORD style, int y, DWORD visible = WS_VISIBLE)
    {
        return CreateWindowExA(0, cls, "", WS_CHILD | style | visible, 10, y, 100, 24, window, nullptr,
                               InstanceHandle, nullptr);
    }
    HWND window, a, label, b, c, rich, readOnly;
};

TEST_F(FocusTest, StepsFollowTheTabOrderAndWrap)
{
    const struct {
        HWND from;
        int direction;
        HWND to;
    } steps[] = {
        {a, 0, b},      {b, 0, c},          {readOnly, 0, a}, {a, 1, readOnly}, {c, 1, b},
        {window, 0, a}, {window, 1, readOnly}, {label, 0, label}, {label, 1, readOnly},
    };
    for (const auto& step : steps) {
        SetFocus(step.from);
        FocusStep(step.direction);
        EXPECT_EQ(GetFocus(), step.to) << "from " << step.from << " direction " << step.direction;
    }
    EnableWindow(b, FALSE);
    SetFocus(c);
    FocusStep(1);
    EXPECT_EQ(GetFocus(), a);
}

// Through the real input stream and EventWait's translation; a plain Tab
// is text in an editable rich edit.
TEST_F(FocusTest, TabKeysMoveTheFocus)
{
    const struct {
        HWND from;
        bool shift;
        HWND to;
    } presses[] = {{a, false, b}, {b, true, a}, {rich, false, rich}, {rich, true, c}, {readOnly, false, a}};
    for (const auto& press : presses) {
        SetFocus(press.from);
        if (press.shift)
            keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(VK_TAB, 0, 0, 0);
        keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
        if (press.shift)
            keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        for (int i = 0; i < 10; ++i)
            while (EventWait(5) != NoEvent) {
            }
        EXPECT_EQ(GetFocus(), press.to) << "from " << press.from << (press.shift ? " with Shift" : "");
    }
}

}  // namespace
