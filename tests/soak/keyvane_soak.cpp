// A long random run of Keyvane.exe on the simulated pad, behind the game
// window: stick and button moves, suspend, help, purchase, minimise and
// restore, mouse moves, clicks into Keyvane's window and back into the game,
// and a pad that goes and comes back, in an order drawn from a seeded
// generator.
// Every injected key is watched: the keys down must follow the mapping's
// rules after each step, and Keyvane's resources must not grow between the
// samples taken at 10 % and at 100 % of the run.
//
//   keyvane_soak.exe SECONDS [SEED]
//
// Exits 0 when no rule was broken, nothing grew beyond its bound and
// Keyvane exited with code 0 after the close, with no key left down.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/actions.h"
#include "app/main_window.h"
#include "harness/key_observer.h"
#include "harness/keyvane_launch.h"
#include "harness/process_resources.h"
#include "tests/support/url_handler.h"

namespace {

constexpr LONG Full = 1000;
// Several passes of a loop that does not poll (suspended, or in the help box).
constexpr DWORD QuietMs = 60;
constexpr DWORD WaitMs = 5000;
// Each purchase click starts a process; more would load the shared host.
constexpr DWORD PurchaseGapMs = 3000;

// The mapped keys, one bit each in this order.
const BYTE mappedKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE};
const char* const keyNames[] = {"Up", "Down", "Left", "Right", "Space"};
constexpr unsigned KeyUp = 1, KeyDown = 2, KeyLeft = 4, KeyRight = 8, KeySpace = 16;

struct Soak {
    RemotePadDriver pads;
    int pad;
    KeyvaneProcess program;
    UrlHandler urls;
    std::mt19937 random;
    LONG x, y;
    bool button, suspended, padGone, minimised, keyvaneInFront;
    int purchases;
    DWORD lastPurchase;
    long steps, downs, ups;
    unsigned down;  // the keys down, as observed
    std::vector<std::string> faults;
} soak;

void Fault(const std::string& what)
{
    soak.faults.push_back("step " + std::to_string(soak.steps) + ": " + what);
}

int Draw(int below)
{
    return std::uniform_int_distribution<int>(0, below - 1)(soak.random);
}

// Nothing may be pressed: suspended, no pad, or Keyvane's own window in front.
bool Quiet()
{
    return soak.suspended || soak.padGone || soak.keyvaneInFront;
}

HWND Gadget(ObjectId number)
{
    return GetDlgItem(soak.program.window, static_cast<int>(number));
}

std::string KeyNames(unsigned keys)
{
    std::string out;
    for (unsigned i = 0; i < 5; ++i)
        if (keys & (1u << i))
            out += (out.empty() ? "" : "+") + std::string(keyNames[i]);
    return out.empty() ? "none" : out;
}

// Takes the observed events in order; an event the mapping never injects or
// a key-up of a key not down is a fault.
void Track(const std::vector<KeyEvent>& events)
{
    for (const KeyEvent& event : events) {
        unsigned bit = 0;
        for (unsigned i = 0; i < 5; ++i)
            bit |= event.vk == mappedKeys[i] ? 1u << i : 0;
        const bool up = event.flags & KEYEVENTF_KEYUP;
        if (!bit || !(event == (up ? Up(event.vk) : Down(event.vk)))) {
            char detail[96];
            wsprintfA(detail, "vk 0x%02X scan 0x%02X flags 0x%lX", event.vk, event.scan, event.flags);
            Fault(std::string("an event the mapping never injects: ") + detail);
        } else if (up && !(soak.down & bit)) {
            Fault("a key-up of " + KeyNames(bit) + ", which was not down");
        }
        soak.down = up ? soak.down & ~bit : soak.down | bit;
        ++(up ? soak.ups : soak.downs);
    }
}

void Settle(int polls = SettlePolls)
{
    if (soak.suspended)
        Sleep(QuietMs);
    else if (!RemotePadWaitReads(soak.pads, polls, WaitMs))
        Fault(std::string("Keyvane stopped polling the pad") + (soak.minimised ? " (minimised)" : "") +
              (soak.padGone ? " (pad gone)" : ""));
}

// The keys down must be those the pad holds; a held direction goes up only
// when its axis reads 0, so the opposite of an active one may stay down.
void Check(const char* after, bool wasQuiet)
{
    const std::vector<KeyEvent> events = KeyObserverTake();
    if (wasQuiet && Quiet() && !events.empty())
        Fault(std::string(after) + ": keys injected while nothing may be pressed");
    Track(events);
    unsigned active = 0;
    if (!Quiet())
        active = (soak.y < 0 ? KeyUp : 0) | (soak.y > 0 ? KeyDown : 0) | (soak.x < 0 ? KeyLeft : 0) |
                 (soak.x > 0 ? KeyRight : 0) | (soak.button ? KeySpace : 0);
    const unsigned mayStay = active | (active & (KeyUp | KeyLeft)) << 1 | (active & (KeyDown | KeyRight)) >> 1;
    if ((soak.down & active) != active || (soak.down & ~mayStay))
        Fault(std::string(after) + ": keys down " + KeyNames(soak.down) + ", pad holds " + KeyNames(active));
}

void SetPad(LONG x, LONG y, bool button)
{
    soak.x = x;
    soak.y = y;
    soak.button = button;
    RemotePadSetAxes(soak.pads, soak.pad, x, y);
    RemotePadSetButton(soak.pads, soak.pad, 1, button);
}

LONG RandomAxis()
{
    return (Draw(3) - 1) * Full;
}

// One to three moves at random phases of the poll, the last one settled.
void PlayStick()
{
    for (int moves = 1 + Draw(3); moves > 0; --moves) {
        SetPad(RandomAxis(), RandomAxis(), soak.button);
        if (moves > 1)
            Sleep(Draw(30));
    }
    Settle();
}

void PlayButton()
{
    SetPad(soak.x, soak.y, !soak.button);
    Settle();
}

void WaitForRelease()
{
    WaitUntil([] { return Track(KeyObserverTake()), soak.down == 0; }, WaitMs);
}

void PlaySuspend()
{
    PostMessageA(Gadget(SuspendCheckBox), BM_CLICK, 0, 0);
    soak.suspended = !soak.suspended;
    const LRESULT wanted = soak.suspended ? BST_CHECKED : BST_UNCHECKED;
    if (!WaitUntil([&] { return SendMessageA(Gadget(SuspendCheckBox), BM_GETCHECK, 0, 0) == wanted; }, WaitMs))
        Fault("the check box did not change");
    Settle();
    // The first suspended pass lets go of what is held; on a loaded host
    // it may come later than the settling wait.
    if (soak.suspended)
        WaitForRelease();
}

void PlayHelp()
{
    PostMessageA(Gadget(HelpButton), BM_CLICK, 0, 0);
    HWND box = KeyvaneWaitTopLevel(soak.program, "#32770", WaitMs);
    if (!box)
        return Fault("no help box");
    Track(KeyObserverTake());
    if (soak.down)
        Fault("help box up with keys down: " + KeyNames(soak.down));
    SetPad(RandomAxis(), RandomAxis(), Draw(2));
    Sleep(QuietMs);
    if (!KeyObserverTake().empty())
        Fault("keys injected while the help box was up");
    MessageBoxDismiss(box);
    if (!WaitUntil([&] { return !IsWindow(box); }, WaitMs))
        Fault("the help box did not close");
    Settle();
}

void PlayPurchase()
{
    PostMessageA(Gadget(PurchaseButton), BM_CLICK, 0, 0);
    ++soak.purchases;
    soak.lastPurchase = GetTickCount();
    Settle();
}

// A minimised Keyvane is not in front; the game is brought back after.
void PlayMinimise()
{
    soak.minimised = !soak.minimised;
    soak.keyvaneInFront = false;
    PostMessageA(soak.program.window, WM_SYSCOMMAND, soak.minimised ? SC_MINIMIZE : SC_RESTORE, 0);
    Settle();
}

void PlayMouse()
{
    RECT r;
    GetWindowRect(soak.program.window, &r);
    for (int moves = 1 + Draw(8); moves > 0; --moves) {
        SetCursorPos(r.left + Draw(r.right - r.left), r.top + Draw(r.bottom - r.top));
        Sleep(Draw(10));
    }
    Settle();
}

// A click into Keyvane's window, or back into the game.
void PlayFront()
{
    soak.keyvaneInFront = !soak.keyvaneInFront;
    if (!soak.keyvaneInFront)
        return;  // the game comes back after every step
    if (!WindowToFront(soak.program.window))
        Fault("Keyvane's window did not get the foreground");
    Settle();
    WaitForRelease();
}

void PlayPadGone()
{
    soak.padGone = !soak.padGone;
    RemotePadFailReads(soak.pads, soak.pad, soak.padGone ? 0x7FFFFFFF : 0);
    Settle();
}

// Reads failing for one to three passes: held keys go up, then come back.
void PlayGlitch()
{
    const int passes = 1 + Draw(3);
    RemotePadFailReads(soak.pads, soak.pad, passes);
    Settle(passes + SettlePolls);
}

struct Action {
    const char* name;
    int weight;
    void (*play)();
    long played;
};

Action actions[] = {
    {"stick moves", 40, PlayStick, 0},        {"button 1", 15, PlayButton, 0},
    {"suspend toggles", 8, PlaySuspend, 0},   {"help boxes", 4, PlayHelp, 0},
    {"purchase clicks", 2, PlayPurchase, 0},  {"minimise/restore", 5, PlayMinimise, 0},
    {"mouse moves", 12, PlayMouse, 0},        {"pad gone/back", 6, PlayPadGone, 0},
    {"failed reads", 6, PlayGlitch, 0},       {"in front toggles", 5, PlayFront, 0},
};
Action& ActionOf(void (*play)())
{
    for (Action& action : actions)
        if (action.play == play)
            return action;
    return actions[0];
}

void Play(Action& drawn)
{
    // The reads of a gone pad already fail, and a suspended program does not
    // read: failures set up then would fall on a later step.
    Action& action = (drawn.play == PlayPurchase && GetTickCount() - soak.lastPurchase < PurchaseGapMs) ||
                             (drawn.play == PlayGlitch && Quiet()) || (drawn.play == PlayFront && soak.minimised)
                         ? ActionOf(PlayStick)
                         : drawn;
    const bool wasQuiet = Quiet();
    action.play();
    // The player keeps the chosen window in front, the game's or Keyvane's:
    // after a help box, a restore or an opened page it is clicked again.
    // Keys pressed while neither was in front are no fault.
    HWND wanted = soak.keyvaneInFront ? soak.program.window : GameWindow();
    const bool kept = GetForegroundWindow() == wanted;
    if (!kept) {
        if (!WindowToFront(wanted))
            Fault("the chosen window did not get the foreground back");
        Settle();
    }
    ++action.played;
    ++soak.steps;
    Check(action.name, wasQuiet && kept);
}

Action& DrawAction()
{
    int total = 0;
    for (const Action& action : actions)
        total += action.weight;
    int pick = Draw(total);
    for (Action& action : actions)
        if ((pick -= action.weight) < 0)
            return action;
    return ActionOf(PlayStick);
}

// Samples are taken with the window restored, so that both see the same
// windows.
ProcessResources Sample()
{
    if (soak.minimised)
        Play(ActionOf(PlayMinimise));
    ProcessResources sample = {};
    if (!ProcessResourcesRead(soak.program.info.hProcess, soak.program.info.dwProcessId, sample))
        Fault("cannot read Keyvane's resources");
    return sample;
}

// Growth that still counts as noise: Wine's allocator and its window-manager
// caches move by a few pages; a leak of one handle or one window per step
// would pass these within seconds.
void ReportGrowth(const ProcessResources& first, const ProcessResources& last)
{
    const struct {
        const char* name;
        long long first, last, bound;
    } rows[] = {
        {"working set KiB", (long long)first.workingSet / 1024, (long long)last.workingSet / 1024, 4096},
        {"private KiB", (long long)first.privateBytes / 1024, (long long)last.privateBytes / 1024, 1024},
        {"handles", first.handles, last.handles, 8},
        {"windows", first.windows, last.windows, 0},
    };
    printf("soak: resources          at 10 %%     at 100 %%       growth\n");
    for (const auto& row : rows) {
        printf("  %-16s %12lld %12lld %+12lld  (bound %+lld)\n", row.name, row.first, row.last, row.last - row.first,
               row.bound);
        if (row.last - row.first > row.bound)
            Fault(std::string(row.name) + " grew beyond its bound");
    }
}

// Every purchase click opens the page once, in a process of its own.
void CheckPurchases()
{
    std::vector<std::string> opened;
    WaitUntil([&] { return (opened = UrlHandlerOpened(soak.urls)).size() >= size_t(soak.purchases); }, WaitMs);
    if (opened.size() != size_t(soak.purchases))
        Fault(std::to_string(soak.purchases) + " purchase clicks opened " + std::to_string(opened.size()) + " pages");
    for (const std::string& address : opened)
        if (address != PurchasePageAddress)
            Fault("a purchase opened " + address);
}

const char* Start()
{
    if (!RemotePadCreate(soak.pads) || (soak.pad = RemotePadPlug(soak.pads)) < 0 || !KeyObserverStart())
        return "cannot set up the simulated pad or the key observer";
    if (!UrlHandlerInstall(soak.urls))
        return "cannot register the URL recorder";
    return KeyvaneLaunch(soak.program, soak.pads);
}

void Stop()
{
    KeyvaneForget(soak.program);
    UrlHandlerRestore(soak.urls);
    KeyObserverStop();
    RemotePadDestroy(soak.pads);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || atoi(argv[1]) <= 0) {
        fprintf(stderr, "usage: keyvane_soak SECONDS [SEED]\n");
        return 2;
    }
    const DWORD runMs = static_cast<DWORD>(atoi(argv[1])) * 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(strtoul(argv[2], nullptr, 0))
                                   : GetTickCount() ^ (GetCurrentProcessId() << 16);
    printf("soak: %s s, seed %u (replay: keyvane_soak %s %u)\n", argv[1], seed, argv[1], seed);
    fflush(stdout);
    soak.random.seed(seed);
    if (const char* failure = Start()) {
        fprintf(stderr, "soak: %s\n", failure);
        Stop();
        return 1;
    }
    ProcessResources first = {};
    const DWORD start = GetTickCount();
    for (bool sampled = false; GetTickCount() - start < runMs;) {
        if (!sampled && GetTickCount() - start >= runMs / 10) {
            first = Sample();
            sampled = true;
        }
        Play(DrawAction());
        if (WaitForSingleObject(soak.program.info.hProcess, 0) == WAIT_OBJECT_0) {
            Fault("Keyvane ended during the run");
            break;
        }
    }
    const ProcessResources last = Sample();
    CheckPurchases();
    const DWORD code = KeyvaneClose(soak.program);
    Track(KeyObserverTake());
    if (code != 0)
        Fault("Keyvane's exit code was " + std::to_string(code));
    if (soak.down)
        Fault("keys left down after the exit: " + KeyNames(soak.down));

    printf("soak: events played: %ld\n", soak.steps);
    for (const Action& action : actions)
        printf("  %-18s %ld\n", action.name, action.played);
    printf("soak: keys injected: %ld (%ld down, %ld up)\n", soak.downs + soak.ups, soak.downs, soak.ups);
    ReportGrowth(first, last);
    printf("soak: Keyvane exited with code %lu; keys left down: %s\n", code, KeyNames(soak.down).c_str());
    Stop();
    for (size_t i = 0; i < soak.faults.size() && i < 10; ++i)
        printf("soak: FAULT %s\n", soak.faults[i].c_str());
    printf("soak: %s (seed %u)\n", soak.faults.empty() ? "passed" : "FAILED", seed);
    return soak.faults.empty() ? 0 : 1;
}
