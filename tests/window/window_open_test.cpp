#include <gtest/gtest.h>

#include "runtime/window/focus.h"
#include "runtime/window/window_names.h"
#include "tests/support/window_library.h"

namespace {

class WindowOpenTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureWindowLibrary(); }
    void TearDown() override
    {
        WindowEndAll();
        DrainEvents();
    }

    static HWND Open(ObjectId number, int x, int y, int w, int h, uint32_t flags, HWND parent = nullptr)
    {
        return reinterpret_cast<HWND>(WindowOpenWithParent(number, x, y, w, h, "Test", flags, parent));
    }

    static SIZE ClientSize(HWND window)
    {
        RECT r;
        GetClientRect(window, &r);
        return {r.right, r.bottom};
    }

    static RECT Outer(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    static bool ClassExists(ObjectId number)
    {
        WNDCLASSA wc;
        return GetClassInfoA(InstanceHandle, WindowClassNameOf(number).text, &wc);
    }
};

TEST_F(WindowOpenTest, FlagWordZeroGivesCaptionOnlyAtTheGivenPlace)
{
    HWND w = Open(1, 30, 40, 200, 100, 0);
    ASSERT_NE(w, nullptr);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(Outer(w).left, 30);
    EXPECT_EQ(Outer(w).top, 40);
    EXPECT_EQ(ClientSize(w).cx, 200);
    EXPECT_EQ(ClientSize(w).cy, 100);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(w, WindowIdProperty)), 2);
    char className[32];
    GetClassNameA(w, className, sizeof className);
    EXPECT_STREQ(className, "WindowClass_1");
}

TEST_F(WindowOpenTest, ApplicationWindowIsCentredWithItsClientSize)
{
    HWND w = Open(0, 0, 0, 400, 450, 0xCA0001);
    ASSERT_NE(w, nullptr);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(ClientSize(w).cx, 400);
    EXPECT_EQ(ClientSize(w).cy, 450);
    const RECT r = Outer(w);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.left, (sw - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (sh - (r.bottom - r.top)) / 2);
}

TEST_F(WindowOpenTest, CentringOnTheScreenClampsToItsSize)
{
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    HWND w = Open(2, 500, 500, sw + 600, 100, WS_SYSMENU | WindowCentreScreen);
    ASSERT_NE(w, nullptr);
    const RECT r = Outer(w);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, sw);
}

TEST_F(WindowOpenTest, CentringOnTheParentNeverGoesNegative)
{
    HWND parent = Open(3, 100, 80, 300, 200, 0);
    HWND child = Open(4, 0, 0, 200, 100, WindowCentreParent | WindowNoGadgetList, parent);
    ASSERT_NE(child, nullptr);
    const RECT p = Outer(parent), c = Outer(child);
    EXPECT_EQ(c.left, p.left + ((p.right - p.left) - (c.right - c.left)) / 2);
    EXPECT_EQ(c.top, p.top + ((p.bottom - p.top) - (c.bottom - c.top)) / 2);
    EXPECT_EQ(GetWindow(child, GW_OWNER), parent);

    // Larger than its reference near the screen's corner: raised to 0.
    HWND corner = Open(5, 0, 0, 60, 40, 0);
    HWND big = Open(6, 0, 0, 500, 400, WindowCentreParent | WindowNoGadgetList, corner);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(Outer(big).left, 0);
    EXPECT_EQ(Outer(big).top, 0);
}

TEST_F(WindowOpenTest, HiddenWindowQueuesNoShowTimeEvents)
{
    DrainEvents();
    HWND w = Open(7, 10, 10, 100, 100, WindowHidden);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(QueuedEvents(), std::vector<int>{});

    HWND shown = Open(8, 10, 10, 100, 100, 0);
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(QueuedEvents().empty());
}

TEST_F(WindowOpenTest, DefaultPositionLetsTheSystemChoose)
{
    HWND w = Open(9, WindowDefaultPosition, 50, 100, 100, 0);
    ASSERT_NE(w, nullptr);
    const RECT r = Outer(w);
    EXPECT_NE(r.left, WindowDefaultPosition);
    EXPECT_NE(r.top, 50);  // both coordinates come from the system
    EXPECT_GE(r.left, 0);
}

TEST_F(WindowOpenTest, ReopeningANumberClosesTheOldWindowAndClass)
{
    HWND first = Open(10, 0, 0, 100, 100, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(ClassExists(10));
    HWND second = Open(10, 0, 0, 120, 120, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(WindowLookup(10)->window, second);

    WindowClose(10);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(ClassExists(10));
    EXPECT_EQ(WindowLookup(10), nullptr);
    WindowClose(10);  // not in use: ignored
}

TEST_F(WindowOpenTest, AutoNumberHandleStandsInForTheNumber)
{
    intptr_t handle = WindowOpen(AutoNumber, 0, 0, 100, 100, nullptr, 0);
    ASSERT_NE(handle, 0);
    WindowObject* obj = WindowLookup(handle);
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(obj->window, WindowIdProperty)), handle + 1);
    char className[32];
    GetClassNameA(obj->window, className, sizeof className);
    EXPECT_STREQ(className, WindowClassNameOf(handle).text);
    char title[8] = "x";
    GetWindowTextA(obj->window, title, sizeof title);
    EXPECT_STREQ(title, "");
    HWND window = obj->window;
    WindowClose(handle);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(WindowLookup(handle), nullptr);
}

TEST_F(WindowOpenTest, EveryWindowGetsTheTwoTabAccelerators)
{
    HWND w = Open(11, 0, 0, 100, 100, 0);
    WindowObject* obj = WindowLookup(11);
    ASSERT_NE(obj, nullptr);
    ACCEL entries[4];
    ASSERT_EQ(CopyAcceleratorTableA(obj->acceleratorTable, entries, 4), 2);
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(entries[0].key, VK_TAB);
    EXPECT_EQ(entries[0].cmd, 64001);
    EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
    EXPECT_EQ(entries[1].cmd, 64002);
    EXPECT_EQ(WindowAccelerators(w), obj->acceleratorTable);
}

TEST_F(WindowOpenTest, NoMemoryLeavesNothingBehind)
{
    HANDLE saved = MainHeap;
    MainHeap = nullptr;  // neither slots nor accelerator block can be had
    EXPECT_EQ(WindowOpen(200, 0, 0, 100, 100, "x", 0), 0);
    EXPECT_EQ(WindowOpen(12, 0, 0, 100, 100, "x", 0), 0);
    MainHeap = saved;
    EXPECT_EQ(WindowLookup(12), nullptr);
    EXPECT_FALSE(ClassExists(12));
    EXPECT_EQ(FindWindowA(WindowClassNameOf(12).text, nullptr), nullptr);
}

}  // namespace
