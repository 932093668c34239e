#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/not_handled.h"
#include "runtime/window/live_sizing.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

namespace {

// Every row starts from this outer rectangle, with the cursor at 300,250.
constexpr RECT Start = {100, 100, 500, 400};

struct Seen {
    int enter, exit, buttonDown;
    bool snapWidth;  // the window rounds its width down to 50 on WM_SIZING
} seen;

LRESULT Record(HWND, UINT message, WPARAM, LPARAM lParam)
{
    seen.enter += message == WM_ENTERSIZEMOVE;
    seen.exit += message == WM_EXITSIZEMOVE;
    seen.buttonDown += message == WM_LBUTTONDOWN;
    if (message == WM_SIZING && seen.snapWidth) {
        auto* r = reinterpret_cast<RECT*>(lParam);
        r->right = r->left + (r->right - r->left) / 50 * 50;
    }
    return ProceedDefault;
}

std::string Text(POINT p)
{
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string Text(RECT r)
{
    return Text(POINT{r.left, r.top}) + "," + Text(POINT{r.right, r.bottom});
}

class LiveSizingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureWindowLibrary();
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &savedDrag, 0);
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
        seen = {};
        w = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 100, 100, "Sizing", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
        ASSERT_NE(w, nullptr);
        WindowLookup(1)->windowCallback = Record;
        DrainEvents();
    }
    void TearDown() override
    {
        ReleaseCapture();
        WindowEndAll();
        DrainEvents();
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, savedDrag, nullptr, 0);
    }

    void Begin(int edge)
    {
        MoveWindow(w, Start.left, Start.top, Start.right - Start.left, Start.bottom - Start.top, TRUE);
        SetCursorPos(300, 250);
        ASSERT_EQ(CursorSettles({300, 250}), "300,250");
        DrainEvents();
        SendMessageA(w, WM_SYSCOMMAND, SC_SIZE | edge, 0);
    }
    void MoveTo(POINT p)
    {
        ScreenToClient(w, &p);
        SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    std::string Outer()
    {
        RECT r;
        GetWindowRect(w, &r);
        return Text(r);
    }
    // Wine's desktop echoes each SetCursorPos back through its own X events
    // a little later, so for a while GetCursorPos may show an older place.
    // Waits until the cursor has rested at the expected point for a tenth
    // of a second, and says where it is.
    static std::string CursorSettles(POINT expected)
    {
        std::string at;
        for (int i = 0, steady = 0; i < 400 && steady < 20; ++i) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            POINT p;
            GetCursorPos(&p);
            at = Text(p);
            steady = at == Text(expected) ? steady + 1 : 0;
            Sleep(5);
        }
        return at;
    }

    BOOL savedDrag = FALSE;
    HWND w = nullptr;
};

// Edge 0 is a keyboard start: the first arrow chooses an edge, a second
// across it a corner, and each further arrow moves the cursor 10 pixels.
// limited: the window's WM_GETMINMAXINFO handling sets limits. An ending
// key of 0 is a button release. The ending puts a keyboard start's cursor
// back unless the mouse moved.
TEST_F(LiveSizingTest, MovesSizeTheWindowWithinItsLimits)
{
    struct Step {
        WPARAM key;  // 0: the mouse moves to the point; else the cursor rests there after the key
        POINT at;
    };
    const LONG systemMin = GetSystemMetrics(SM_CXMINTRACK);
    const struct {
        int edge;
        bool limited, snapped;
        std::vector<Step> steps;
        RECT expected;
        WPARAM end;
        POINT cursor;  // after the ending
    } rows[] = {
        {WMSZ_LEFT, false, false, {{0, {80, 250}}}, {80, 100, 500, 400}, 0, {}},
        {WMSZ_TOPLEFT, false, false, {{0, {60, 50}}}, {58, 48, 500, 400}, 0, {}},
        {WMSZ_TOPRIGHT, false, false, {{0, {600, 90}}}, {100, 90, 602, 400}, 0, {}},
        {WMSZ_BOTTOMLEFT, false, false, {{0, {150, 380}}}, {150, 100, 500, 382}, 0, {}},
        {WMSZ_BOTTOMRIGHT, false, false, {{0, {420, 330}}}, {100, 100, 422, 332}, 0, {}},
        {WMSZ_RIGHT, false, false, {{0, {0, 250}}}, {100, 100, 100 + systemMin, 400}, 0, {}},
        {WMSZ_RIGHT, false, true, {{0, {575, 250}}}, {100, 100, 550, 400}, 0, {}},
        {WMSZ_RIGHT, true, false, {{0, {200, 250}}}, {100, 100, 350, 400}, 0, {}},
        {WMSZ_RIGHT, true, false, {{0, {900, 250}}}, {100, 100, 700, 400}, 0, {}},
        {WMSZ_LEFT, true, false, {{0, {450, 250}}}, {250, 100, 500, 400}, 0, {}},
        {WMSZ_LEFT, true, false, {{0, {-200, 250}}}, {-100, 100, 500, 400}, 0, {}},
        {WMSZ_TOP, true, false, {{0, {300, 390}}}, {100, 250, 500, 400}, 0, {}},
        {WMSZ_BOTTOM, true, false, {{0, {300, 700}}}, {100, 100, 500, 600}, 0, {}},
        {0, false, false, {{VK_LEFT, {100, 250}}, {VK_UP, {102, 102}}, {VK_LEFT, {92, 102}}}, {90, 100, 500, 400},
         VK_RETURN, {300, 250}},
        {0, false, false, {{VK_UP, {300, 100}}, {VK_RIGHT, {498, 100}}, {VK_UP, {498, 90}}}, {100, 90, 500, 400},
         VK_RETURN, {300, 250}},
        {0, false, false, {{VK_DOWN, {300, 398}}, {VK_LEFT, {100, 398}}, {VK_DOWN, {100, 408}}},
         {100, 100, 500, 410}, VK_RETURN, {300, 250}},
        {0, false, false, {{VK_RIGHT, {498, 250}}, {VK_DOWN, {498, 398}}, {VK_RIGHT, {508, 398}}},
         {100, 100, 510, 400}, VK_ESCAPE, {300, 250}},
        {0, false, false, {{VK_RIGHT, {498, 250}}, {VK_RIGHT, {508, 250}}, {0, {520, 250}}}, {100, 100, 522, 400},
         VK_ESCAPE, {508, 250}},
    };
    WindowObject* obj = WindowLookup(1);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        obj->minWidth = row.limited ? 250 : 0, obj->minHeight = row.limited ? 150 : 0;
        obj->maxWidth = row.limited ? 600 : 0, obj->maxHeight = row.limited ? 500 : 0;
        seen.snapWidth = row.snapped;
        Begin(row.edge);
        for (const Step& step : row.steps) {
            if (step.key) {
                SendMessageA(w, WM_KEYDOWN, step.key, 0);
                EXPECT_EQ(CursorSettles(step.at), Text(step.at));
            } else {
                MoveTo(step.at);
            }
        }
        SendMessageA(w, row.end ? WM_KEYDOWN : WM_LBUTTONUP, row.end, 0);
        EXPECT_EQ(Outer(), Text(row.expected));
        EXPECT_EQ(sizingStateRecord->active, 0);
        if (row.end) {
            EXPECT_EQ(CursorSettles(row.cursor), Text(row.cursor));
        }
    }
}

TEST_F(LiveSizingTest, EveryEndingReleasesOnceAndLeavesTheStateIdle)
{
    static HWND other;
    other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        void (*end)(HWND window);
    } endings[] = {
        {"button up", [](HWND window) { SendMessageA(window, WM_LBUTTONUP, 0, 0); }},
        {"Enter", [](HWND window) { SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0); }},
        {"Escape", [](HWND window) { SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"capture taken", [](HWND) { SetCapture(other); }},
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.name);
        seen = {};
        Begin(WMSZ_RIGHT);
        EXPECT_EQ(GetCapture(), w);
        e.end(w);
        EXPECT_NE(GetCapture(), w);
        EventPumpPending();
        // GetKeyState reports the button up here, so the start sent one.
        EXPECT_EQ(seen.buttonDown, 1);
        EXPECT_EQ(seen.enter, 1);
        EXPECT_EQ(seen.exit, 1);
        EXPECT_EQ(sizingStateRecord->active, 0);
        ReleaseCapture();
    }
    DestroyWindow(other);
    MoveTo({700, 250});  // once idle, mouse moves are the window's own again
    EXPECT_EQ(Outer(), Text(Start));

    // Each move during sizing is one message of the event wait.
    Begin(WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_ENTERSIZEMOVE));
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(250, 150));
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_MOUSEMOVE));
    EXPECT_EQ(EventWait(0), SizeEvent);

    // Wine destroys a window without telling it that the capture went.
    WindowClose(1);
    EXPECT_EQ(sizingStateRecord->active, 0);
}

TEST_F(LiveSizingTest, FullWindowDraggingOffLeavesSizingToTheSystem)
{
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    // Sent through the window, the system's own modal sizing would start.
    EXPECT_EQ(LiveSizingFilter(w, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0), NotHandled);
    EXPECT_EQ(sizingStateRecord->active, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
