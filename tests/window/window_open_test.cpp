#include <gtest/gtest.h>

#include "runtime/window/window_names.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

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

// Where a window lands and which frame it gets, for the flag words that
// place it by themselves.
constexpr int Centred = -1;
constexpr int SystemChosen = -2;

TEST_F(WindowOpenTest, FlagWordsGiveTheirFrameAndPlace)
{
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        const char* what;
        int x, y, width, height;
        uint32_t flags;
        LONG stylesOn, stylesOff;
        int left, top;
    } rows[] = {
        {"flag word 0: a caption only, where asked", 30, 40, 200, 100, 0, WS_CAPTION, WS_SYSMENU, 30, 40},
        {"the application's window, centred on the screen", 0, 0, 400, 450, 0xCA0001,
         WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_MAXIMIZEBOX | WS_THICKFRAME, Centred, Centred},
        {"wider than the screen: cut to it", 500, 500, sw + 600, 100, WS_SYSMENU | WindowCentreScreen, WS_SYSMENU, 0,
         0, Centred},
        {"the default position: the system chooses both", WindowDefaultPosition, 50, 100, 100, 0, WS_CAPTION, 0,
         SystemChosen, SystemChosen},
    };
    ObjectId number = 20;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        HWND w = Open(number++, row.x, row.y, row.width, row.height, row.flags);
        ASSERT_NE(w, nullptr);
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        EXPECT_EQ(style & row.stylesOn, row.stylesOn);
        EXPECT_EQ(style & row.stylesOff, 0);
        EXPECT_TRUE(IsWindowVisible(w));
        const RECT r = Outer(w);
        if (row.left == SystemChosen) {
            EXPECT_NE(r.top, row.y);  // both coordinates come from the system
            EXPECT_GE(r.left, 0);
            continue;
        }
        if (r.right - r.left < sw) {
            EXPECT_EQ(ClientSize(w).cx, row.width);
            EXPECT_EQ(ClientSize(w).cy, row.height);
        } else {
            EXPECT_EQ(r.right - r.left, sw);
        }
        EXPECT_EQ(r.left, row.left == Centred ? (sw - (r.right - r.left)) / 2 : row.left);
        EXPECT_EQ(r.top, row.top == Centred ? (sh - (r.bottom - r.top)) / 2 : row.top);
    }
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
