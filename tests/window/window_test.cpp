#include <gtest/gtest.h>

#include <algorithm>

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
    HWND Child(HWND parent, const char* cls, DWORD style, int y, intptr_t id = 0)
    {
        return CreateWindowExA(0, cls, "", WS_CHILD | style, 10, y, 100, 24, parent, reinterpret_cast<HMENU>(id),
                               InstanceHandle, nullptr);
    }
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
}

// The codes of the waits after one posted message, and the source and type
// the last leaves behind. Queued events come back before new messages.
TEST_F(WindowTest, PostedMessagesGiveTheirEventsInOrder)
{
    HWND w = reinterpret_cast<HWND>(WindowOpen(0, 50, 50, 300, 200, "Events", WS_SYSMENU));
    HWND button = Child(w, "BUTTON", WS_VISIBLE, 10, 36);
    HWND relay = Child(w, "BUTTON", 0, 40, -10000);
    ASSERT_TRUE(button && relay);
    DrainEvents();
    const int posted = static_cast<int>(ItemClickPosted), click = static_cast<int>(ItemClickMessage);
    const struct {
        const char* what;
        HWND target;  // none: no message
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
        {"an item click's repost", w, ItemClickPosted, 12, WM_MOUSEMOVE, {posted}, 12, -1},
        {"an item click, reposted first", w, ItemClickMessage, 5, WM_RBUTTONDBLCLK, {click, ItemClickEvent}, 5, 3},
        {"a string gadget losing the focus", w, GadgetFocusMessage, 9, FocusLost, {GadgetEvent}, 9, FocusLost},
        {"no message: the source stays, the type goes", nullptr, 0, 0, 0, {NoEvent}, 9, -1},
        {"a close, then its queued event before the next", w, WM_CLOSE, 0, 0, {CloseEvent, CloseEvent, NoEvent}, 9,
         -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.target)
            PostMessageA(row.target, row.message, row.wParam, row.lParam);
        for (int code : row.codes)
            EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventSourceGadget(), row.source);
        EXPECT_EQ(EventType(), row.type);
    }
    EXPECT_TRUE(IsWindowVisible(w)) << "a close is the caller's to act on";

    // A data record belongs to the event state until the next wait.
    auto* record = static_cast<void**>(HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, 8 * sizeof(void*)));
    record[5] = HeapAlloc(MainHeap, 0, 16);  // owned by the record
    PostMessageA(w, GadgetDataMessage, 3, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(EventWait(0), GadgetDataEvent);
    EXPECT_EQ(Events()->eventData, record);
    EventWait(0);
    EXPECT_EQ(Events()->eventData, nullptr);
}

// A wake-up without a message may end a wait early (Wine's own processes
// send the odd message), but a quiet wait runs its time out and no wait
// runs much past it.
TEST_F(WindowTest, WaitTimesOutWithNoEvent)
{
    WindowOpen(0, 50, 50, 300, 200, "Quiet", WS_SYSMENU);
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

// Tab and Shift+Tab through the real input stream and EventWait's
// translation skip what is no visible, enabled tab stop and wrap; a plain
// Tab is text in an editable rich edit.
TEST_F(WindowTest, TabKeysMoveTheFocus)
{
    ASSERT_NE(LoadLibraryA("RICHED20.DLL"), nullptr);
    HWND w = reinterpret_cast<HWND>(WindowOpen(0, 100, 100, 300, 300, "Focus", WS_SYSMENU));
    SetForegroundWindow(w);
    HWND a = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 0);
    HWND label = Child(w, "STATIC", WS_VISIBLE, 30);
    HWND b = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 60);
    Child(w, "EDIT", WS_TABSTOP, 90);
    HWND c = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 120);
    HWND rich = Child(w, "RichEdit20A", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE, 150);
    HWND readOnly = Child(w, "RichEdit20A", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 180);
    const struct {
        HWND from;
        bool shift;
        HWND to;
    } presses[] = {{a, false, b},        {b, false, c},       {readOnly, false, a}, {a, true, readOnly},
                   {rich, false, rich}, {rich, true, c},     {label, true, readOnly}, {w, false, a}};
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
