// Keyvane.exe end to end: the real program is started on the simulated pad,
// its window is read from this process, and the keys it injects are
// watched with a low-level hook here. (Its window's layout and fonts are read
// from one built in this process.)
#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/actions.h"
#include "app/main_window.h"
#include "runtime/font/font.h"
#include "runtime/runtime.h"
#include "harness/key_observer.h"
#include "harness/keyvane_launch.h"
#include "tests/support/url_handler.h"

namespace {

// The purchase page as the payment service forms it, from the build's host
// and button: written here, not taken from the program.
const std::string PageAddress =
    "https://" KEYVANE_PURCHASE_HOST "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" KEYVANE_PURCHASE_BUTTON;

using Keys = std::vector<KeyEvent>;

constexpr LONG Full = 1000;
// Long enough for a few dozen polls of a program that still polled.
constexpr DWORD QuietMs = 200;

// One key-down per press: repeated key-downs of a key already down (or
// held before the sequence began) are dropped, so that a sequence reads as
// presses and releases.
Keys Presses(const Keys& keys, std::set<BYTE> down = {})
{
    Keys out;
    for (const KeyEvent& key : keys) {
        if (key.flags & KEYEVENTF_KEYUP)
            down.erase(key.vk);
        else if (!down.insert(key.vk).second)
            continue;
        out.push_back(key);
    }
    return out;
}

// Keyvane runs from bin/planted, as from a download folder holding DLLs
// named as the system DLLs it loads; loading one sets plantedLoaded. (The
// suite's WINEDLLOVERRIDES has Wine prefer them to its own, as Windows does.)
// The handler, once installed, sends the pages opened to url_recorder.exe.
class KeyvaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(KeyObserverStart(true));
        plantedLoaded = CreateEventA(nullptr, FALSE, FALSE, "Keyvane planted DLL loaded");
        ASSERT_TRUE(CopyFileA(BesideThisProgram("Keyvane.exe").c_str(), BesideThisProgram(Planted).c_str(), FALSE));
    }
    static void TearDownTestSuite() { KeyObserverStop(); CloseHandle(plantedLoaded); }

    void SetUp() override { ASSERT_TRUE(RemotePadCreate(pads)); }

    void TearDown() override
    {
        KeyvaneForget(program);
        RemotePadDestroy(pads);
        UrlHandlerRestore(handler);
        EXPECT_EQ(WaitForSingleObject(plantedLoaded, 0), WAIT_TIMEOUT) << "Keyvane loaded a DLL planted beside it";
    }

    // Starts Keyvane with one pad plugged in (the same pad on a second
    // start), puts the game in front of it as a player would, and waits for
    // its first polls.
    void Launch()
    {
        if (pad < 0)
            pad = RemotePadPlug(pads);
        ASSERT_STREQ(KeyvaneLaunch(program, pads, Planted), nullptr);
    }

    // Sets the stick and button 1, then lets the program poll them; what
    // raw input and the game window got meanwhile is added to rawInput and
    // game.
    Keys Move(LONG x, LONG y, bool button = false, Keys* rawInput = nullptr, Keys* game = nullptr)
    {
        RemotePadSetAxes(pads, pad, x, y);
        RemotePadSetButton(pads, pad, 1, button);
        EXPECT_TRUE(RemotePadWaitReads(pads, SettlePolls));
        Keys raw, messages;
        const Keys hooked = KeyObserverTake(&raw, game ? &messages : nullptr);
        if (rawInput)
            rawInput->insert(rawInput->end(), raw.begin(), raw.end());
        if (game)
            game->insert(game->end(), messages.begin(), messages.end());
        return hooked;
    }

    // The system time of the first event equal to wanted, waited for up to
    // timeoutMs; 0 (long ago) when none came. Events before it are dropped.
    DWORD WaitKey(const KeyEvent& wanted, DWORD timeoutMs = 1000)
    {
        for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;)
            for (const KeyEvent& key : KeyObserverTake())
                if (key == wanted)
                    return key.time;
        return 0;
    }

    HWND Gadget(ObjectId number) const { return GetDlgItem(program.window, static_cast<int>(number)); }

    void Click(ObjectId number) const { PostMessageA(Gadget(number), BM_CLICK, 0, 0); }

    // A press that ends outside the gadget gives it the focus, no click.
    void Focus(ObjectId number) const
    {
        PostMessageA(Gadget(number), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(Gadget(number), WM_LBUTTONUP, 0, MAKELPARAM(-100, -100));
        ASSERT_TRUE(WaitGui([&](const GUITHREADINFO& gui) { return gui.hwndFocus == Gadget(number); }));
    }

    // Waits up to a second for Keyvane's focus, capture and modal state to
    // be as wanted.
    template <typename Wanted>
    bool WaitGui(Wanted wanted) const
    {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        return WaitUntil([&] { return GetGUIThreadInfo(program.info.dwThreadId, &gui) && wanted(gui); }, 1000);
    }

    static constexpr char Planted[] = "planted\\Keyvane.exe";
    static inline HANDLE plantedLoaded;
    RemotePadDriver pads{};
    int pad = -1;
    KeyvaneProcess program{};
    UrlHandler handler{};
};

struct RuleCase {
    const char* name;
    LONG x, y;
    bool button;
    Keys presses;  // what moving there and back to the centre gives
};

const RuleCase ruleCases[] = {
    {"up", 0, -Full, false, {Down(VK_UP), Up(VK_UP)}},
    {"down", 0, Full, false, {Down(VK_DOWN), Up(VK_DOWN)}},
    {"left", -Full, 0, false, {Down(VK_LEFT), Up(VK_LEFT)}},
    {"right", Full, 0, false, {Down(VK_RIGHT), Up(VK_RIGHT)}},
    {"up-left", -Full, -Full, false, {Down(VK_UP), Down(VK_LEFT), Up(VK_UP), Up(VK_LEFT)}},
    {"down-right", Full, Full, false, {Down(VK_DOWN), Down(VK_RIGHT), Up(VK_DOWN), Up(VK_RIGHT)}},
    {"button 1", 0, 0, true, {Down(VK_SPACE), Up(VK_SPACE)}},
    {"within the dead zone", 500, -500, false, {}},
};

TEST_F(KeyvaneTest, EachRuleInjectsItsKeysRepeatsThemWhileHeldAndClosingReleasesEveryHeldKey)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    for (const RuleCase& rule : ruleCases) {
        SCOPED_TRACE(rule.name);
        Keys raw, game, all = Move(rule.x, rule.y, rule.button, &raw, &game);
        // Every poll presses again: of the settling polls, the first may
        // have come before the move.
        for (const KeyEvent& key : rule.presses)
            EXPECT_TRUE((key.flags & KEYEVENTF_KEYUP) || std::count(all.begin(), all.end(), key) >= SettlePolls - 1);
        const Keys back = Move(0, 0, false, &raw, &game);
        all.insert(all.end(), back.begin(), back.end());
        EXPECT_EQ(Presses(all), rule.presses);
        // What a game gets, reading raw input or its key messages: the same
        // codes and flags.
        EXPECT_EQ(Presses(raw), rule.presses);
        EXPECT_EQ(Presses(game), rule.presses);
    }
    Move(-Full, -Full, true);
    // Straight to the other corner: a direction waits for the centre to go
    // up, so all five keys are held when Keyvane closes.
    EXPECT_EQ(Presses(Move(Full, Full, true), {VK_UP, VK_LEFT, VK_SPACE}), (Keys{Down(VK_DOWN), Down(VK_RIGHT)}));
    ASSERT_EQ(KeyvaneClose(program), 0u);
    EXPECT_EQ(Presses(KeyObserverTake(), {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE}),
              (Keys{Up(VK_UP), Up(VK_DOWN), Up(VK_LEFT), Up(VK_RIGHT), Up(VK_SPACE)}));
}

// The gadgets that act. Suspend and the help box stop the polling: the held
// keys go up once, and are pressed again when the check box is cleared or the
// box dismissed. Each purchase click opens the page.
TEST_F(KeyvaneTest, SuspendHelpAndALostPadReleaseHeldKeysOnceAndEachPurchaseClickOpensThePage)
{
    ASSERT_TRUE(UrlHandlerInstall(handler));
    ASSERT_NO_FATAL_FAILURE(Launch());
    EXPECT_FALSE(Move(0, -Full, true).empty());
    const auto paused = [&] {
        EXPECT_EQ(Presses(KeyObserverTake(), {VK_UP, VK_SPACE}), (Keys{Up(VK_UP), Up(VK_SPACE)}));
        const LONG reads = RemotePadReads(pads);
        Sleep(QuietMs);
        EXPECT_EQ(RemotePadReads(pads), reads) << "Keyvane still polls";
        EXPECT_EQ(KeyObserverTake(), Keys{});
    };
    // What the next polls give, with the keys held before.
    const auto polled = [&](const std::set<BYTE>& held, const Keys& keys) {
        EXPECT_TRUE(RemotePadWaitReads(pads, SettlePolls));
        EXPECT_EQ(Presses(KeyObserverTake(), held), keys);
    };
    Click(SuspendCheckBox);
    Sleep(QuietMs);
    paused();
    Click(SuspendCheckBox);
    polled({}, {Down(VK_UP), Down(VK_SPACE)});

    Click(HelpButton);
    HWND box = KeyvaneWaitTopLevel(program, "#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Help");
    EXPECT_EQ(MessageBoxText(box),
              "''ComboBoxes'' - Allows you to change the key values\r\n for each joy axis and buttons.\r\n\r\n"
              "''Disable'' - Stops the gamepad/joystick from controlling\r\n the keyboard.\r\n\r\n"
              "''Create''  - Create and save a game setting.\r\n\r\n"
              "''Save'' - Save edited settings to a current game setting.\r\n\r\n"
              "''Delete'' - Delete a selected game setting.\r\n\r\n"
              "''Initialize Gamepad'' - Use your mouse and click on the\r\n"
              " game screen to initialize gamepad control. Just like you\r\n"
              " would if you were using the keyboard to play.\r\n\r\n"
              "Created By: The Keyvane Project\r\nhttps://keyvane.example/\r\n"
              "Keyvane Lite is free to use and to share.");
    EXPECT_FALSE(IsWindowEnabled(program.window));
    paused();
    MessageBoxDismiss(box);
    ASSERT_TRUE(GameToFront());
    polled({}, {Down(VK_UP), Down(VK_SPACE)});
    EXPECT_TRUE(IsWindowEnabled(program.window));

    // Held keys are forgotten while the pad is gone: when it is back, only
    // what the stick holds then is pressed, even a direction opposite to a
    // lost one. (Reads failing for a pass or three: the soak.)
    RemotePadFailReads(pads, pad, 1000000);
    polled({VK_UP, VK_SPACE}, {Up(VK_UP), Up(VK_SPACE)});
    EXPECT_EQ(Move(0, Full), Keys{});
    RemotePadFailReads(pads, pad, 0);
    polled({}, {Down(VK_DOWN)});
    EXPECT_EQ(Presses(Move(0, 0), {VK_DOWN}), Keys{Up(VK_DOWN)});

    // Last: the page opened may take the foreground, which raw input needs.
    for (size_t clicks = 1; clicks <= 2; ++clicks) {
        Click(PurchaseButton);
        WaitUntil([&] { return UrlHandlerOpened(handler).size() >= clicks; }, 15000);
    }
    EXPECT_EQ(UrlHandlerOpened(handler), std::vector<std::string>(2, PageAddress));
    EXPECT_EQ(KeyvaneClose(program), 0u);
}

// A faulty pad driver ends Keyvane: the held key still goes up, and stays
// up even while the loop's thread, when another one faulted, still polls.
TEST_F(KeyvaneTest, AFaultOnAnyThreadReleasesTheHeldKeyWithinASecondAndNothingIsPressedAfter)
{
    for (RemotePadCrash how : {RemotePadCrashInRead, RemotePadCrashOnThread}) {
        SCOPED_TRACE(how == RemotePadCrashInRead ? "in the read" : "on another thread");
        ASSERT_NO_FATAL_FAILURE(Launch());
        EXPECT_FALSE(Move(0, Full).empty());
        const DWORD armed = GetTickCount();
        RemotePadCrashRead(pads, pad, how);
        EXPECT_LE(WaitKey(Up(VK_DOWN)) - armed, 1000u);
        // A poll of the loop's thread already past its check as another
        // thread's fault was marked may press once more, and lets go at once.
        Sleep(1000);
        const Keys after = KeyObserverTake();
        EXPECT_LE(std::count_if(after.begin(), after.end(), [](const KeyEvent& key) { return !(key.flags & KEYEVENTF_KEYUP); }),
                  how == RemotePadCrashInRead ? 0 : 1) << "pressed after the crash";
        if (!after.empty()) {
            EXPECT_EQ(after.back(), Up(VK_DOWN)) << "left down after the crash";
        }
        // Wine's crash handling may keep it alive: then it is ended here.
        KeyvaneWaitExit(program, 2000);
        KeyvaneForget(program);
        RemotePadSetAxes(pads, pad, 0, 0);
    }
}

// Keyvane's own window in front, the focus on a gadget that acts: button 1
// held there clicks nothing and presses no key. Nor does a key-down still on
// its way as Keyvane comes to the front, held up by another program's slow
// hook, together with the key-up that lets it go: the focus was given to the
// gadget while the game was in front, as a click on Keyvane's window that
// the game took the front back from would.
TEST_F(KeyvaneTest, WithKeyvaneInFrontThePadPressesNothingAndClicksNoGadget)
{
    constexpr DWORD SlowHookMs = 30;
    ASSERT_TRUE(UrlHandlerInstall(handler));
    ASSERT_NO_FATAL_FAILURE(Launch());
    for (ObjectId number : {SuspendCheckBox, HelpButton, PurchaseButton}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(WindowToFront(program.window));
        ASSERT_NO_FATAL_FAILURE(Focus(number));
        Move(0, 0, true);
        Sleep(QuietMs);
        EXPECT_EQ(Move(0, 0), Keys{});

        ASSERT_TRUE(GameToFront());
        ASSERT_NO_FATAL_FAILURE(Focus(number));
        Move(0, 0, true);
        ASSERT_TRUE(KeyObserverHoldKeyDown(SlowHookMs));
        ASSERT_TRUE(WindowToFront(program.window));
        Sleep(QuietMs);
        ASSERT_EQ(SendMessageA(Gadget(SuspendCheckBox), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        ASSERT_EQ(KeyvaneWaitTopLevel(program, "#32770", 0), nullptr);
        ASSERT_EQ(UrlHandlerOpened(handler), std::vector<std::string>{});
        Move(0, 0);
    }
    // A keyboard's Space, which carries no tag, still works the gadget.
    ASSERT_TRUE(WindowToFront(program.window));
    ASSERT_NO_FATAL_FAILURE(Focus(SuspendCheckBox));
    keybd_event(VK_SPACE, 0x39, 0, 0);
    keybd_event(VK_SPACE, 0x39, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(Gadget(SuspendCheckBox), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 1000));
    EXPECT_EQ(KeyvaneClose(program), 0u);
}

// What takes the loop away from a held key, started from outside Keyvane as
// a player's click or Alt+Space would: the key goes up at once, and is
// pressed again once the loop has ended and the game is in front.
struct ModalCase {
    const char* name;
    UINT message;  // to Keyvane's window; 0 makes it the foreground window
    WPARAM command;
    DWORD withinMs;
};

const ModalCase modalCases[] = {
    {"activated", 0, 0, 50},
    {"title-bar move loop", WM_SYSCOMMAND, SC_MOVE, 100},
    {"system menu", WM_SYSCOMMAND, SC_KEYMENU, 100},
};

TEST_F(KeyvaneTest, ActivationAndModalLoopsOfKeyvanesWindowReleaseAHeldKeyAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    for (const ModalCase& loop : modalCases) {
        SCOPED_TRACE(loop.name);
        EXPECT_FALSE(Move(0, -Full).empty());
        const DWORD entered = GetTickCount();
        if (loop.message)
            PostMessageA(program.window, loop.message, loop.command, loop.command == SC_KEYMENU ? VK_SPACE : 0);
        else
            SetForegroundWindow(program.window);
        EXPECT_LE(WaitKey(Up(VK_UP)) - entered, loop.withinMs);
        // Escape ends a move loop or a menu; after one it changes nothing.
        PostMessageA(program.window, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitGui([](const GUITHREADINFO& gui) { return !(gui.flags & (GUI_INMOVESIZE | GUI_INMENUMODE)); }));
        ASSERT_TRUE(GameToFront());
        EXPECT_EQ(Presses(Move(0, -Full)), Keys{Down(VK_UP)});
        EXPECT_EQ(Presses(Move(0, 0), {VK_UP}), Keys{Up(VK_UP)});
    }
    EXPECT_EQ(KeyvaneClose(program), 0u);
}

TEST_F(KeyvaneTest, UnderAStreamOfMessagesAPushIsPressedRepeatedAndReleasedWithin30Ms)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    // Mouse moves posted to the window and the cursor moved over the purchase
    // button, until stopped: about 400 messages a second.
    std::atomic<bool> stop{false};
    std::atomic<long> messages{0};
    const DWORD start = GetTickCount();
    std::thread traffic([&, button = Gadget(PurchaseButton)] {
        RECT r;
        GetWindowRect(button, &r);
        for (long n = 0; !stop; messages = 2 * ++n, Sleep(4)) {
            SetCursorPos(r.left + 5 + n % 20, (r.top + r.bottom) / 2);
            PostMessageA(program.window, WM_MOUSEMOVE, 0, MAKELPARAM(10 + n % 100, 10 + n % 50));
        }
    });
    for (int push = 0; push < 3; ++push) {
        SCOPED_TRACE(push);
        Sleep(QuietMs);
        KeyObserverTake();
        DWORD moved = GetTickCount();
        RemotePadSetAxes(pads, pad, 0, -Full);
        EXPECT_LE(WaitKey(Down(VK_UP)) - moved, 30u);
        // Held: pressed again on every poll, which comes every 10 ms: a
        // 15 ms poll gives 66 a second.
        KeyObserverTake();
        const DWORD held = GetTickCount();
        Sleep(QuietMs);
        const Keys repeats = KeyObserverTake();
        EXPECT_GE(std::count(repeats.begin(), repeats.end(), Down(VK_UP)) * 1000 / long(GetTickCount() - held), 80);
        moved = GetTickCount();
        RemotePadSetAxes(pads, pad, 0, 0);
        EXPECT_LE(WaitKey(Up(VK_UP)) - moved, 30u);
    }
    stop = true;
    traffic.join();
    EXPECT_GE(messages * 1000 / long(GetTickCount() - start), 200);
    EXPECT_EQ(KeyvaneClose(program), 0u);
}

TEST_F(KeyvaneTest, WithoutAPadOnlyTheErrorBoxShowsAndTheExitCodeIsZero)
{
    ASSERT_TRUE(ProgramStart(program, Planted));
    HWND box = KeyvaneWaitTopLevel(program, "#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Error");
    EXPECT_EQ(MessageBoxText(box), "Unable to open DirectX 7 (or better) or no joysticks are available.");
    EXPECT_EQ(KeyvaneWaitTopLevel(program, "WindowClass_0", 0), nullptr);
    MessageBoxDismiss(box);
    EXPECT_EQ(KeyvaneWaitExit(program), 0u);
}

// A message sent from another process is served inside the loop's wait,
// which then ends with no event: a stream of them must not bring the polls,
// and a held key's presses, faster than one per 10 ms.
TEST_F(KeyvaneTest, UnderAFloodOfSentMessagesAPushComesWithin30MsAndAHeldKeyAtMost105TimesASecond)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    // 1,500 a second, catching up after a late wake.
    std::thread sender([&, window = program.window, start = GetTickCount()] {
        for (DWORD_PTR result; !stop;)
            if (sent * 2 < 3 * long(GetTickCount() - start))
                sent += SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
            else
                Sleep(1);
    });
    Sleep(QuietMs);
    KeyObserverTake();
    DWORD moved = GetTickCount();
    RemotePadSetAxes(pads, pad, 0, -Full);
    const DWORD pressed = WaitKey(Down(VK_UP));
    EXPECT_LE(pressed - moved, 30u);
    const long sentBefore = sent;
    Sleep(1000);
    const Keys held = KeyObserverTake();
    const long ms = long(GetTickCount() - pressed), messages = (sent - sentBefore) * 1000 / ms;
    moved = GetTickCount();
    RemotePadSetAxes(pads, pad, 0, 0);
    EXPECT_LE(WaitKey(Up(VK_UP)) - moved, 30u);
    stop = true;
    sender.join();
    EXPECT_GE(messages, 1000) << "messages sent a second";
    EXPECT_LE(std::count(held.begin(), held.end(), Down(VK_UP)) * 1000 / ms, 105) << "key-downs a second";
    EXPECT_EQ(KeyvaneClose(program), 0u);
}

// What a 10 ms poll behind a game needs on Windows. Wine's own calls do
// nothing that shows, so our dinput.dll sees them inside Keyvane: no power
// throttling (refused, as by Wine or Windows before 11: then the speed
// alone) and 1 ms timers before the first read, the timers ended once
// after the last.
TEST_F(KeyvaneTest, AsksFor1MsTimersAndNoThrottlingBeforeItsFirstPollAndEndsTheTimersAfterItsLast)
{
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_EQ(KeyvaneClose(program), 0u);
    EXPECT_EQ(RemotePadTimerCalls(pads), "power throttling {1, 0x5, 0} @0 power throttling {1, 0x1, 0} @0 "
                                         "timeBeginPeriod(1) @0 timeEndPeriod(1) @" +
                                             std::to_string(RemotePadReads(pads)) + " ");
}

struct GadgetCase {
    int number;
    const char* className;
    int x, y, width, height;
    LONG style, exStyle;  // WS_DISABLED included
    const char* text;
    int items, selected;  // combo boxes: the items, and the text is the selection's; else -1
};

constexpr LONG Disabled = WS_DISABLED;
// Styles as the controls keep them: a combo box takes WS_BORDER, WS_VSCROLL
// and WS_EX_CLIENTEDGE off itself once created (0x50A30203 at creation).
constexpr LONG ComboStyle = 0x50030203;
constexpr LONG TextStyle = 0x50020000;
constexpr LONG ButtonStyle = 0x50030000;
constexpr LONG FrameStyle = 0x50020007;

constexpr char EditionText[] =
    "Keyvane lite is limited to only\r\nthe arrow keys and space bar. Which\r\n"
    "works with some flash games.\r\n\r\nThe full version allows you to choose\r\n"
    "up to 68 keys per axis and buttons.\r\nYou can also create, save and delete\r\n"
    "multiple game settings right here in the\r\n''Game Settings'' area.\r\n\r\n"
    "The full version is $10 USD.";

const GadgetCase gadgetCases[] = {
    {0, "RichEdit20A", 205, 55, 185, 335, 0x503119C4, WS_EX_CLIENTEDGE, EditionText, -1, 0},
    {1, "ComboBox", 85, 55, 105, 20, ComboStyle | Disabled, 0, "Up Arrow", 1, 0},
    {2, "ComboBox", 85, 85, 105, 20, ComboStyle | Disabled, 0, "Down Arrow", 1, 0},
    {3, "ComboBox", 85, 115, 105, 20, ComboStyle | Disabled, 0, "Left Arrow", 1, 0},
    {4, "ComboBox", 85, 145, 105, 20, ComboStyle | Disabled, 0, "Right Arrow", 1, 0},
    {5, "ComboBox", 85, 205, 105, 20, ComboStyle | Disabled, 0, "Space Bar", 1, 0},
    {6, "ComboBox", 85, 235, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {7, "ComboBox", 85, 265, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {8, "ComboBox", 85, 295, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {9, "ComboBox", 85, 325, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {10, "ComboBox", 85, 355, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {11, "ComboBox", 85, 385, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {12, "ComboBox", 85, 415, 105, 20, ComboStyle | Disabled, 0, "", 0, -1},
    {13, "Static", 10, 55, 70, 20, TextStyle, 0, "UP", -1, 0},
    {14, "Static", 10, 85, 70, 20, TextStyle, 0, "DOWN", -1, 0},
    {15, "Static", 10, 115, 70, 20, TextStyle, 0, "LEFT", -1, 0},
    {16, "Static", 10, 145, 70, 20, TextStyle, 0, "RIGHT", -1, 0},
    {17, "Static", 10, 205, 70, 20, TextStyle, 0, "BUTTON 1", -1, 0},
    {18, "Static", 10, 235, 70, 20, TextStyle, 0, "BUTTON 2", -1, 0},
    {19, "Static", 10, 265, 70, 20, TextStyle, 0, "BUTTON 3", -1, 0},
    {20, "Static", 10, 295, 70, 20, TextStyle, 0, "BUTTON 4", -1, 0},
    {21, "Static", 10, 325, 70, 20, TextStyle, 0, "BUTTON 5", -1, 0},
    {22, "Static", 10, 355, 70, 20, TextStyle, 0, "BUTTON 6", -1, 0},
    {23, "Static", 10, 385, 70, 20, TextStyle, 0, "BUTTON 7", -1, 0},
    {24, "Static", 10, 415, 70, 20, TextStyle, 0, "BUTTON 8", -1, 0},
    {25, "Button", 335, 395, 50, 20, ButtonStyle | Disabled, 0, "Create", -1, 0},
    {26, "Button", 245, 420, 50, 20, ButtonStyle | Disabled, 0, "Save", -1, 0},
    {27, "Button", 300, 420, 50, 20, ButtonStyle | Disabled, 0, "Delete", -1, 0},
    {35, "Button", 30, 10, 150, 20, ButtonStyle | BS_AUTOCHECKBOX, 0, "Disable Keyvane", -1, 0},
    {36, "Button", 373, 11, 20, 20, ButtonStyle, 0, "?", -1, 0},
    {37, "Button", 5, 35, 190, 140, FrameStyle, 0, "XY Axis", -1, 0},
    {38, "Button", 5, 185, 190, 260, FrameStyle, 0, "Buttons", -1, 0},
    {39, "Button", 200, 35, 195, 410, FrameStyle, 0, "Game Settings", -1, 0},
    {40, "Button", 200, 5, 165, 30, ButtonStyle, 0, "Purchase the Full Version", -1, 0},
    {41, "Edit", 210, 395, 120, 20, 0x50030080 | Disabled, WS_EX_CLIENTEDGE, "", -1, 0},
};

// Scroll bars that Wine's rich edit takes off itself; Windows keeps them.
constexpr LONG RichEditScrollBars = WS_HSCROLL | WS_VSCROLL;

// Built in this process (which carries Keyvane's manifest, so the controls are
// the same): Wine answers WM_GETFONT from another process with 0. Gadget 0 is
// made before the font, so only it keeps the stock GUI font; Wine's rich edit
// answers WM_GETFONT with 0, but its character format names its face.
TEST(MainWindow, IsCentredWithItsGadgetsAndAllButTheEditionPanelGetArial8)
{
    RuntimeStart();
    HWND window = reinterpret_cast<HWND>(MainWindowBuild());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), "Keyvane - Lite");
    constexpr LONG Frame = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_DISABLED;
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & Frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    RECT client, outer;
    GetClientRect(window, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(400L, 450L));
    // The outer window, not the client area, sits in the screen's middle.
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

    LOGFONTA arial{}, stock{};
    GetObjectA(FontHandle(CaptionFont), sizeof arial, &arial);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    EXPECT_EQ(arial.lfFaceName + std::to_string(arial.lfHeight), "Arial-11") << "8 points at 96 pixels per inch";
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(GetDlgItem(window, EditionPanel), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, stock.lfFaceName);
    for (const GadgetCase& expected : gadgetCases) {
        SCOPED_TRACE(expected.number);
        HWND gadget = GetDlgItem(window, expected.number);
        char name[64] = "";  // stays empty when the gadget is missing
        GetClassNameA(gadget, name, sizeof name);
        EXPECT_STREQ(name, expected.className);
        RECT r;
        GetWindowRect(gadget, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  std::vector<LONG>({expected.x, expected.y, expected.width, expected.height}));
        const LONG style = static_cast<LONG>(GetWindowLongPtrA(gadget, GWL_STYLE));
        EXPECT_EQ(expected.number == EditionPanel ? style | RichEditScrollBars : style, expected.style);
        EXPECT_EQ(static_cast<LONG>(GetWindowLongPtrA(gadget, GWL_EXSTYLE)) & ~WS_EX_NOPARENTNOTIFY,
                  expected.exStyle);
        if (expected.items >= 0) {
            EXPECT_EQ(std::make_pair(SendMessageA(gadget, CB_GETCOUNT, 0, 0), SendMessageA(gadget, CB_GETCURSEL, 0, 0)),
                      std::make_pair(LRESULT(expected.items), LRESULT(expected.selected)));
        }
        // A list combo box's text is its selected item's.
        EXPECT_EQ(WindowText(gadget), expected.text);
        EXPECT_TRUE(expected.number == EditionPanel ||
                    reinterpret_cast<HFONT>(SendMessageA(gadget, WM_GETFONT, 0, 0)) == FontHandle(CaptionFont));
    }
    RuntimeEnd();
}

// The address itself is checked where Keyvane opens it, above.
TEST(PurchaseAddress, OnlyTheAddressBuiltInPassesItsCheck)
{
    EXPECT_TRUE(PurchaseAddressIntact(PageAddress.c_str()));
    const auto changed = [](size_t at) {
        std::string address = PageAddress;
        address[at] = address[at] == 'X' ? 'Y' : 'X';
        return address;
    };
    const size_t last = PageAddress.size() - 1;
    for (const std::string& altered : {changed(0), changed(PageAddress.find(KEYVANE_PURCHASE_HOST)), changed(last),
                                       PageAddress + "0", PageAddress.substr(0, last), std::string()})
        EXPECT_FALSE(PurchaseAddressIntact(altered.c_str())) << altered;
    EXPECT_FALSE(PurchaseAddressIntact(nullptr));
}

}  // namespace
