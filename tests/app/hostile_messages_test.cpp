// Another process floods Keyvane's window and gadgets with random messages
// that carry no pointers; Keyvane comes out with its gadgets unchanged,
// having pressed no key and opened no help box or page, and closes with 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "harness/key_observer.h"
#include "harness/keyvane_launch.h"
#include "tests/support/url_handler.h"

namespace {

constexpr int EditField = 41, LastGadget = 41;

// Each gadget's number, kind, state, enabling, place and text.
std::vector<std::string> Layout(HWND window, std::vector<HWND>* gadgets = nullptr)
{
    std::vector<std::string> looks;
    for (int number = 0; number <= LastGadget; ++number) {
        HWND gadget = GetDlgItem(window, number);
        char kind[32] = "", look[160];
        RECT r = {};
        if (!gadget || !GetClassNameA(gadget, kind, sizeof kind) || !GetWindowRect(gadget, &r))
            continue;
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const UINT state = !strcmp(kind, "Button") ? BM_GETCHECK : !strcmp(kind, "ComboBox") ? CB_GETCURSEL : WM_NULL;
        snprintf(look, sizeof look, "%d %s state %ld enabled %d at %ld,%ld,%ld,%ld ", number, kind,
                 long(SendMessageA(gadget, state, 0, 0)), IsWindowEnabled(gadget), r.left, r.top, r.right, r.bottom);
        looks.push_back(look + WindowText(gadget));
        if (gadgets)
            gadgets->push_back(gadget);
    }
    return looks;
}

// A random message for target, or WM_NULL instead of what a user does on
// purpose or waits for: a click on help or purchase (BN_CLICKED, a press and
// release inside a button, Space or Enter on it), typing into the edit
// field or a middle click on it (Wine's edit control pastes on a middle
// click, and its clipboard read can stall for seconds), Alt+F4, F10 and
// the Alt keys (left and right too: Wine opens the system menu on either),
// and system commands that start a modal loop.
MSG RandomMessage(std::mt19937& random, HWND target)
{
    auto draw = [&](uint32_t below) { return std::uniform_int_distribution<uint32_t>(0, below - 1)(random); };
    static const UINT messages[] = {
        WM_COMMAND, WM_COMMAND, WM_COMMAND, WM_SYSCOMMAND, WM_SYSCOMMAND, WM_TIMER, WM_TIMER, WM_KEYDOWN, WM_KEYUP,
        WM_CHAR, WM_DEADCHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATE, WM_ACTIVATEAPP,
        WM_NCACTIVATE, WM_MOUSEACTIVATE, WM_CHILDACTIVATE, WM_ENABLE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
        WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL, WM_MOUSEHOVER, WM_MOUSELEAVE};
    static const WPARAM commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_NEXTWINDOW, SC_PREVWINDOW,
                                      SC_VSCROLL, SC_HSCROLL, SC_ARRANGE, SC_HOTKEY, SC_DEFAULT};
    const UINT message = messages[draw(std::size(messages))];
    const int number = GetDlgCtrlID(target);
    const bool clickable = number == SuspendCheckBox || number == HelpButton || number == PurchaseButton;
    WPARAM w = random();
    LPARAM l = 0;
    bool skip = false;
    if (message == WM_COMMAND) {
        w = draw(4) ? MAKEWPARAM(draw(64), draw(16)) : w;
        l = draw(2) ? 0 : static_cast<LPARAM>(random());
        skip = HIWORD(w) == BN_CLICKED && (LOWORD(w) == HelpButton || LOWORD(w) == PurchaseButton);
    } else if (message == WM_SYSCOMMAND) {  // to the window: a gadget obeys SC_MAXIMIZE as any window does
        w = draw(2) ? commands[draw(std::size(commands))] : draw(0xF000);
        target = GetAncestor(target, GA_ROOT);
    } else if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        w = draw(256);
        l = static_cast<LPARAM>(random());
        skip = number == EditField || (clickable && (w == VK_SPACE || w == VK_RETURN)) || w == VK_F4 || w == VK_F10 ||
               w == VK_MENU || w == VK_LMENU || w == VK_RMENU;
    } else if (message >= WM_MOUSEFIRST) {  // the mouse: buttons are pressed and released outside themselves
        skip = number == EditField && message == WM_MBUTTONDOWN;
        w = draw(32);
        l = MAKELPARAM(clickable ? -1 - static_cast<int>(draw(1000)) : draw(600) - 100, draw(600) - 100);
    } else if (message != WM_TIMER) {
        w = draw(4);
    }
    return {target, skip ? WM_NULL : message, w, l, 0, {0, 0}};
}

struct HostileMessages : ::testing::Test {
    void TearDown() override
    {
        KeyvaneForget(program);
        UrlHandlerRestore(urls);
    }
    RemotePadDriver pads{};
    UrlHandler urls{};
    KeyvaneProcess program{};
};

TEST_F(HostileMessages, KeyvaneSurvivesUnchangedAndStillClosesWithZero)
{
    ASSERT_TRUE(KeyObserverStart() && RemotePadCreate(pads) && UrlHandlerInstall(urls));
    // Joystick 0 holds only inputs that map to no key; joystick 1 is never mapped.
    DIJOYSTATE inert = {0, 0, 1000, 1000, 1000, 1000, {-1000, -1000}, {27000, 27000, 27000, 27000}, {}};
    memset(inert.rgbButtons + 1, 0x80, sizeof inert.rgbButtons - 1);
    RemotePadSetState(pads, RemotePadPlug(pads), inert);
    const int other = RemotePadPlug(pads);
    RemotePadSetAxes(pads, other, -1000, 1000);
    RemotePadSetButton(pads, other, 1, true);
    // Behind the game, where Keyvane would press keys if it took any input for the pad's.
    ASSERT_STREQ(KeyvaneLaunch(program, pads), nullptr);

    std::vector<HWND> targets = {program.window};
    const std::vector<std::string> before = Layout(program.window, &targets);
    ASSERT_EQ(before.size(), 35u);
    // KEYVANE_SEED replays a run.
    const char* replay = getenv("KEYVANE_SEED");
    const unsigned seed = replay ? strtoul(replay, nullptr, 0) : GetTickCount();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    int timedOut = 0;
    DWORD_PTR result;
    for (int i = 0; i < 100000; ++i) {
        const MSG m = RandomMessage(random, targets[random() % targets.size()]);
        if (i % 2)  // half of them posted, through Keyvane's own loop
            PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
        else
            timedOut += !SendMessageTimeoutA(m.hwnd, m.message, m.wParam, m.lParam, SMTO_NORMAL, 2000, &result);
    }
    EXPECT_EQ(timedOut, 0);
    if (HWND box = KeyvaneWaitTopLevel(program, "#32770", 0))
        ADD_FAILURE() << "a box came up: \"" << WindowText(box) << "\": " << MessageBoxText(box);
    PostMessageA(program.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_NE(SendMessageTimeoutA(program.window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result), 0);
    ASSERT_TRUE(RemotePadWaitReads(pads, 3)) << "Keyvane no longer polls";
    EXPECT_EQ(Layout(program.window), before);
    EXPECT_EQ(KeyObserverTake(), std::vector<KeyEvent>{});
    EXPECT_EQ(KeyvaneClose(program), 0u);
    EXPECT_EQ(UrlHandlerOpened(urls), std::vector<std::string>{});
}

}  // namespace
