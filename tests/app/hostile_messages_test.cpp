// Another process floods Keyvane's window and gadgets with random messages
// that carry no pointers; Keyvane must come out alive, unchanged, having
// pressed no key and opened no help box or page, and still close with 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/url_handler.h"
#include "tests/support/key_observer.h"
#include "tests/support/keyvane_process.h"
#include "tests/support/remote_pad_driver.h"

namespace {

constexpr int MessageCount = 100000;
constexpr int SentEvery = 2;         // the rest are posted, through Keyvane's own loop
constexpr int CheckEvery = 5000;     // messages between looks for a help box
// A send that waits longer is counted and the flood goes on; responsiveness
// is judged once it is over.
constexpr UINT SendTimeoutMs = 2000;
constexpr int EditField = 41;        // typing into it would change its text

// What a gadget shows: compared before and after the flood.
struct GadgetLook {
    int number;
    std::string text;
    LRESULT state;
    bool enabled;
};

bool operator==(const GadgetLook& a, const GadgetLook& b)
{
    return a.number == b.number && a.text == b.text && a.state == b.state && a.enabled == b.enabled;
}

std::string Describe(const GadgetLook& g)
{
    return std::to_string(g.number) + " \"" + g.text + "\" state " + std::to_string(g.state) +
           (g.enabled ? " enabled" : " disabled");
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data)
{
    if (GetParent(child) == GetAncestor(child, GA_ROOT))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
}

std::vector<HWND> Gadgets(HWND window)
{
    std::vector<HWND> gadgets;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&gadgets));
    return gadgets;
}

std::vector<GadgetLook> Look(const std::vector<HWND>& gadgets)
{
    std::vector<GadgetLook> looks;
    for (HWND gadget : gadgets) {
        char name[32] = "";
        GetClassNameA(gadget, name, sizeof name);
        const std::string kind = name;
        const LRESULT state = kind == "Button"     ? SendMessageA(gadget, BM_GETCHECK, 0, 0)
                              : kind == "ComboBox" ? SendMessageA(gadget, CB_GETCURSEL, 0, 0)
                                                   : 0;
        looks.push_back({GetDlgCtrlID(gadget), WindowText(gadget), state, IsWindowEnabled(gadget) != FALSE});
    }
    // Focus and activation messages reorder the children.
    std::sort(looks.begin(), looks.end(), [](const GadgetLook& a, const GadgetLook& b) { return a.number < b.number; });
    return looks;
}

bool IsClickable(HWND target)
{
    const int number = GetDlgCtrlID(target);
    return number == SuspendCheckBox || number == HelpButton || number == PurchaseButton;
}

// A random message for target, or WM_NULL. Left out, because they are what
// a user does on purpose or wait for one: a button's own click (BN_CLICKED
// from 36 and 40, a press and release inside a button, Space or Enter on
// it), typing into the edit field, right clicks (context menus), the keys
// the system turns into the close and window-menu commands (Alt+F4, F10,
// Alt, Alt+character) and the system commands that start a modal loop or
// another program.
struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

Message RandomMessage(std::mt19937& random, HWND target)
{
    auto draw = [&](uint32_t below) { return std::uniform_int_distribution<uint32_t>(0, below - 1)(random); };
    const uint32_t word = static_cast<uint32_t>(random());
    static const UINT keys[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSKEYDOWN, WM_SYSKEYUP};
    static const UINT mouse[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                 WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL, WM_MOUSEHOVER, WM_MOUSELEAVE};
    static const UINT focus[] = {WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                 WM_MOUSEACTIVATE, WM_CHILDACTIVATE, WM_ENABLE};
    static const WPARAM commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_NEXTWINDOW, SC_PREVWINDOW,
                                      SC_VSCROLL, SC_HSCROLL, SC_ARRANGE, SC_HOTKEY, SC_DEFAULT};
    switch (draw(6)) {
    case 0: {
        const WORD id = draw(4) ? static_cast<WORD>(draw(64)) : static_cast<WORD>(word);
        const WORD code = static_cast<WORD>(draw(4) ? draw(16) : word >> 16);
        if (code == BN_CLICKED && (id == HelpButton || id == PurchaseButton))
            return {WM_NULL, 0, 0};
        return {WM_COMMAND, MAKEWPARAM(id, code), draw(2) ? 0 : static_cast<LPARAM>(random())};
    }
    case 1: {
        const WPARAM key = draw(256);
        if (GetDlgCtrlID(target) == EditField || (IsClickable(target) && (key == VK_SPACE || key == VK_RETURN)) ||
            key == VK_F4 || key == VK_F10 || key == VK_MENU)
            return {WM_NULL, 0, 0};
        return {keys[draw(std::size(keys))], key, static_cast<LPARAM>(random())};
    }
    case 2: {
        // Buttons are pressed and released only outside themselves.
        const int x = IsClickable(target) ? -1 - static_cast<int>(draw(1000)) : static_cast<int>(draw(600)) - 100;
        return {mouse[draw(std::size(mouse))], draw(32), MAKELPARAM(x, draw(600) - 100)};
    }
    case 3:
        return {WM_SYSCOMMAND, draw(2) ? commands[draw(std::size(commands))] : draw(0xF000), 0};
    case 4:
        return {focus[draw(std::size(focus))], draw(4), 0};
    default:
        return {WM_TIMER, word, 0};
    }
}

class HostileMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(KeyObserverStart());
        ASSERT_TRUE(RemotePadCreate(pads));
        ASSERT_TRUE(UrlHandlerInstall(urls));
        RemotePadPlug(pads);
        ASSERT_TRUE(KeyvaneStart(program));
        ASSERT_NE(KeyvaneWaitWindow(program), nullptr);
        ASSERT_TRUE(RemotePadWaitReads(pads, 3));
        KeyObserverTake();
    }

    void TearDown() override
    {
        KeyvaneForget(program);
        UrlHandlerRestore(urls);
        RemotePadDestroy(pads);
        KeyObserverStop();
    }

    bool HelpBoxUp() const { return KeyvaneWaitTopLevel(program, "#32770", 0) != nullptr; }

    RemotePadDriver pads{};
    UrlHandler urls{};
    KeyvaneProcess program{};
};

TEST_F(HostileMessagesTest, KeyvaneSurvivesUnchangedAndStillClosesWithZero)
{
    const unsigned seed = GetTickCount();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::vector<HWND> targets = Gadgets(program.window);
    ASSERT_EQ(targets.size(), 35u);
    const std::vector<GadgetLook> before = Look(targets);
    targets.push_back(program.window);

    int sent = 0, posted = 0, timedOut = 0, helpBoxes = 0;
    for (int i = 0; i < MessageCount; ++i) {
        HWND target = targets[random() % targets.size()];
        const Message m = RandomMessage(random, target);
        if (i % SentEvery == 0) {
            DWORD_PTR result;
            timedOut += !SendMessageTimeoutA(target, m.message, m.wParam, m.lParam, SMTO_NORMAL, SendTimeoutMs,
                                             &result);
            ++sent;
        } else {
            posted += PostMessageA(target, m.message, m.wParam, m.lParam) != FALSE;
        }
        if (i % CheckEvery != CheckEvery - 1)
            continue;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(program.info.hProcess, &code);
        ASSERT_EQ(code, STILL_ACTIVE) << "Keyvane ended after " << i << " messages, " << timedOut << " timed out";
        if (HelpBoxUp()) {
            ++helpBoxes;
            MessageBoxDismiss(KeyvaneWaitTopLevel(program, "#32770", 0));
        }
    }
    PostMessageA(program.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    // Under Wine a cursor resting on a gadget feeds the loop a message on
    // every pass, and the pad is not polled until it moves away.
    SetCursorPos(0, 0);
    DWORD_PTR result;
    ASSERT_NE(SendMessageTimeoutA(program.window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result), 0)
        << "Keyvane does not answer";
    ASSERT_TRUE(RemotePadWaitReads(pads, 3)) << "Keyvane no longer polls";
    printf("hostile messages: %d sent (%d timed out), %d posted, seed %u\n", sent, timedOut, posted, seed);

    EXPECT_EQ(helpBoxes, 0);
    EXPECT_FALSE(HelpBoxUp());
    const std::vector<GadgetLook> after = Look(Gadgets(program.window));
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(after[i] == before[i]) << Describe(before[i]) << " became " << Describe(after[i]);
    EXPECT_EQ(KeyObserverTake(), std::vector<KeyEvent>{}) << "the pad stayed centred";
    EXPECT_EQ(KeyvaneClose(program), 0u);
    EXPECT_EQ(UrlHandlerOpened(urls), std::vector<std::string>{});
}

}  // namespace
