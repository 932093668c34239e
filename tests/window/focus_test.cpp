#include <gtest/gtest.h>

#include <richedit.h>

#include "runtime/window/focus.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

namespace {

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureWindowLibrary();
        window = reinterpret_cast<HWND>(WindowOpen(0, 100, 100, 300, 300, "Focus", WS_SYSMENU));
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window);
        SetActiveWindow(window);
        a = Child("EDIT", WS_TABSTOP, 0);
        label = Child("STATIC", 0, 30);
        b = Child("EDIT", WS_TABSTOP, 60);
        hidden = Child("EDIT", WS_TABSTOP, 90, false);
        c = Child("EDIT", WS_TABSTOP, 120);
        DrainEvents();
    }
    void TearDown() override
    {
        WindowEndAll();
        DrainEvents();
    }

    HWND Child(const char* cls, DWORD style, int y, bool visible = true)
    {
        return CreateWindowExA(0, cls, "", WS_CHILD | style | (visible ? WS_VISIBLE : 0), 10, y, 100, 24, window,
                               nullptr, InstanceHandle, nullptr);
    }

    // Presses (and releases) Tab, with Shift when asked, through the real
    // input stream, and lets EventWait translate it.
    static void PressTab(bool shift)
    {
        if (shift)
            keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(VK_TAB, 0, 0, 0);
        keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
        if (shift)
            keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        for (int i = 0; i < 10; ++i)
            while (EventWait(5) != NoEvent) {
            }
    }

    HWND window, a, label, b, hidden, c;
};

TEST_F(FocusTest, StepsFollowTheTabOrderAndWrap)
{
    SetFocus(a);
    FocusStep(0);
    EXPECT_EQ(GetFocus(), b);  // the static and the hidden edit are no tab stops
    FocusStep(0);
    EXPECT_EQ(GetFocus(), c);
    FocusStep(0);
    EXPECT_EQ(GetFocus(), a);  // wrap to the first
    FocusStep(1);
    EXPECT_EQ(GetFocus(), c);  // wrap to the last
    FocusStep(1);
    EXPECT_EQ(GetFocus(), b);

    EnableWindow(b, FALSE);
    SetFocus(c);
    FocusStep(1);
    EXPECT_EQ(GetFocus(), a);
}

TEST_F(FocusTest, FocusOutsideTheWindowGoesToTheEnds)
{
    SetFocus(window);  // the window itself is no descendant of itself
    FocusStep(0);
    EXPECT_EQ(GetFocus(), a);
    SetFocus(window);
    FocusStep(1);
    EXPECT_EQ(GetFocus(), c);
}

TEST_F(FocusTest, FocusOnANonTabStopStaysForwardAndGoesLastBackward)
{
    SetFocus(label);
    ASSERT_EQ(GetFocus(), label);
    FocusStep(0);
    EXPECT_EQ(GetFocus(), label);
    FocusStep(1);
    EXPECT_EQ(GetFocus(), c);
}

TEST_F(FocusTest, TabKeysMoveTheFocusThroughTheAccelerators)
{
    SetFocus(a);
    PressTab(false);
    EXPECT_EQ(GetFocus(), b);
    PressTab(true);
    EXPECT_EQ(GetFocus(), a);
}

TEST_F(FocusTest, PlainTabIsTextInAnEditableRichEditOnly)
{
    ASSERT_NE(LoadLibraryA("RICHED20.DLL"), nullptr);
    HWND editable = Child("RichEdit20A", WS_TABSTOP | ES_MULTILINE, 150);
    HWND readOnly = Child("RichEdit20A", WS_TABSTOP | ES_MULTILINE | ES_READONLY, 180);
    ASSERT_TRUE(editable && readOnly);

    SetFocus(editable);
    PressTab(false);
    EXPECT_EQ(GetFocus(), editable);
    PressTab(true);
    EXPECT_EQ(GetFocus(), c);

    SetFocus(readOnly);
    PressTab(false);
    EXPECT_EQ(GetFocus(), a);  // readOnly is the last tab stop: wrap
}

}  // namespace
