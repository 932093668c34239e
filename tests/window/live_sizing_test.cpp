#include <gtest/gtest.h>

#include <string>

#include "runtime/core/not_handled.h"
#include "runtime/window/live_sizing.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

namespace {

// Every case starts from this outer rectangle, with the cursor at Middle.
constexpr RECT Start = {100, 100, 500, 400};
constexpr POINT Middle = {300, 250};

struct Seen {
    int enter, exit, buttonDown, keys;
    bool snapWidth;
} seen;

LRESULT Record(HWND, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_ENTERSIZEMOVE: ++seen.enter; break;
    case WM_EXITSIZEMOVE: ++seen.exit; break;
    case WM_LBUTTONDOWN: ++seen.buttonDown; break;
    case WM_KEYDOWN: ++seen.keys; break;
    case WM_SIZING:
        if (seen.snapWidth) {
            auto* r = reinterpret_cast<RECT*>(lParam);
            r->right = r->left + (r->right - r->left) / 50 * 50;
        }
        break;
    }
    return ProceedDefault;
}

std::string Text(RECT r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::string Text(POINT p)
{
    return std::to_string(p.x) + "," + std::to_string(p.y);
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
        Reset();
        DrainEvents();
    }
    void TearDown() override
    {
        ReleaseCapture();
        WindowEndAll();
        DrainEvents();
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, savedDrag, nullptr, 0);
    }

    void Reset()
    {
        MoveWindow(w, Start.left, Start.top, Start.right - Start.left, Start.bottom - Start.top, TRUE);
        CursorToMiddle();
    }
    void Begin(int edge) { SendMessageA(w, WM_SYSCOMMAND, SC_SIZE | edge, 0); }
    void Key(WPARAM key) { SendMessageA(w, WM_KEYDOWN, key, 0); }
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
    // a little later, so for a while GetCursorPos may show an older place;
    // on Windows it shows the new one at once. Waits until the cursor has
    // rested at the expected point for a tenth of a second, and says where
    // it is. The mouse moves queued meanwhile stay in the queue.
    static std::string CursorSettles(const std::string& expected)
    {
        std::string at;
        for (int i = 0, steady = 0; i < 400 && steady < 20; ++i) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            POINT p;
            GetCursorPos(&p);
            at = Text(p);
            steady = at == expected ? steady + 1 : 0;
            Sleep(5);
        }
        return at;
    }
    static void CursorToMiddle()
    {
        SetCursorPos(Middle.x, Middle.y);
        ASSERT_EQ(CursorSettles(Text(Middle)), Text(Middle));
    }

    BOOL savedDrag = FALSE;
    HWND w = nullptr;
};

// limited: the window's WM_GETMINMAXINFO handling sets limits; snapped: it
// rounds the width down to 50 on WM_SIZING.
TEST_F(LiveSizingTest, MouseMovesTheEdgeWithinTheLimits)
{
    const LONG systemMin = GetSystemMetrics(SM_CXMINTRACK);
    const struct {
        int edge;
        POINT to;
        bool limited, snapped;
        RECT expected;
    } cases[] = {
        {WMSZ_LEFT, {80, 250}, false, false, {80, 100, 500, 400}},
        {WMSZ_TOPLEFT, {60, 50}, false, false, {58, 48, 500, 400}},
        {WMSZ_TOPRIGHT, {600, 90}, false, false, {100, 90, 602, 400}},
        {WMSZ_BOTTOMLEFT, {150, 380}, false, false, {150, 100, 500, 382}},
        {WMSZ_BOTTOMRIGHT, {420, 330}, false, false, {100, 100, 422, 332}},
        {WMSZ_RIGHT, {0, 250}, false, false, {100, 100, 100 + systemMin, 400}},
        {WMSZ_RIGHT, {575, 250}, false, true, {100, 100, 550, 400}},
        {WMSZ_RIGHT, {200, 250}, true, false, {100, 100, 350, 400}},
        {WMSZ_RIGHT, {900, 250}, true, false, {100, 100, 700, 400}},
        {WMSZ_LEFT, {450, 250}, true, false, {250, 100, 500, 400}},
        {WMSZ_LEFT, {-200, 250}, true, false, {-100, 100, 500, 400}},
        {WMSZ_TOP, {300, 390}, true, false, {100, 250, 500, 400}},
        {WMSZ_BOTTOM, {300, 700}, true, false, {100, 100, 500, 600}},
    };
    WindowObject* obj = WindowLookup(1);
    for (const auto& c : cases) {
        obj->minWidth = c.limited ? 250 : 0, obj->minHeight = c.limited ? 150 : 0;
        obj->maxWidth = c.limited ? 600 : 0, obj->maxHeight = c.limited ? 500 : 0;
        seen.snapWidth = c.snapped;
        MoveWindow(w, Start.left, Start.top, Start.right - Start.left, Start.bottom - Start.top, TRUE);
        Begin(c.edge);
        MoveTo(c.to);
        EXPECT_EQ(Outer(), Text(c.expected)) << "edge " << c.edge << " to " << Text(c.to);
        SendMessageA(w, WM_LBUTTONUP, 0, 0);
    }
}

TEST_F(LiveSizingTest, ArrowsChooseAnEdgeThenStep)
{
    const struct {
        WPARAM first, second;
        const char *side, *corner;  // the cursor after each key
        int edge;
        LPCSTR shape;
        RECT afterStep;  // after one more press of the first key
    } cases[] = {
        {VK_LEFT, VK_UP, "100,250", "102,102", WMSZ_TOPLEFT, IDC_SIZENWSE, {90, 100, 500, 400}},
        {VK_UP, VK_RIGHT, "300,100", "498,100", WMSZ_TOPRIGHT, IDC_SIZENESW, {100, 90, 500, 400}},
        {VK_DOWN, VK_LEFT, "300,398", "100,398", WMSZ_BOTTOMLEFT, IDC_SIZENESW, {100, 100, 500, 410}},
        {VK_DOWN, VK_RIGHT, "300,398", "498,398", WMSZ_BOTTOMRIGHT, IDC_SIZENWSE, {100, 100, 500, 410}},
    };
    for (const auto& c : cases) {
        Reset();
        Begin(0);
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEALL));
        Key(c.first);
        EXPECT_EQ(CursorSettles(c.side), c.side);
        Key(c.second);
        EXPECT_EQ(CursorSettles(c.corner), c.corner);
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, c.shape));
        EXPECT_EQ(sizingStateRecord->edge, c.edge);
        EXPECT_EQ(Outer(), Text(Start));
        Key(c.first);
        EXPECT_EQ(Outer(), Text(c.afterStep)) << "keys " << c.first << ", " << c.second;
        Key(VK_RETURN);
    }
    // Arrows go on to the window; Enter, which ends the sizing, does not.
    EXPECT_EQ(seen.keys, 4 * 3);
}

TEST_F(LiveSizingTest, EscapeKeepsTheSizeAndPutsTheCursorBackUnlessTheMouseMoved)
{
    for (bool mouseMoves : {false, true}) {
        Reset();
        Begin(0);
        Key(VK_RIGHT);
        ASSERT_EQ(CursorSettles("498,250"), "498,250");
        Key(VK_RIGHT);
        ASSERT_EQ(CursorSettles("508,250"), "508,250");
        if (mouseMoves)
            MoveTo({520, 250});
        Key(VK_ESCAPE);
        EXPECT_EQ(sizingStateRecord->active, 0);
        EXPECT_EQ(Outer(), mouseMoves ? "100,100,522,400" : "100,100,510,400");
        const std::string cursor = mouseMoves ? "508,250" : Text(Middle);
        EXPECT_EQ(CursorSettles(cursor), cursor);
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
        seen = {};
        Begin(WMSZ_RIGHT);
        EXPECT_EQ(GetCapture(), w);
        e.end(w);
        EXPECT_NE(GetCapture(), w) << e.name;
        EventPumpPending();
        // GetKeyState reports the button up here, so the start sent one.
        EXPECT_EQ(seen.buttonDown, 1) << e.name;
        EXPECT_EQ(seen.enter, 1) << e.name;
        EXPECT_EQ(seen.exit, 1) << e.name;
        EXPECT_EQ(sizingStateRecord->active, 0) << e.name;
        ReleaseCapture();
    }
    DestroyWindow(other);
    // Once idle, mouse moves are the window's own again.
    MoveTo({700, 250});
    EXPECT_EQ(Outer(), Text(Start));
}

TEST_F(LiveSizingTest, ClosingTheWindowEndsTheSizing)
{
    Begin(WMSZ_RIGHT);
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

TEST_F(LiveSizingTest, EachMouseMoveIsOneMessageOfTheEventWait)
{
    Begin(WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_ENTERSIZEMOVE));
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(250, 150));
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_MOUSEMOVE));
    POINT corner = {250 + 2, 150 + 2};
    ClientToScreen(w, &corner);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(Text(POINT{r.right, r.bottom}), Text(corner));
    EXPECT_EQ(EventWait(0), SizeEvent);
}

}  // namespace
