// A long random run of Keyvane.exe on the simulated pad: stick and button
// moves, suspend, help, purchase, minimise and restore, mouse moves and a
// pad that goes and comes back, in an order drawn from a seeded generator.
// Every injected key is watched; the keys down must follow the mapping's
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
#include "tests/soak/key_tracker.h"
#include "tests/support/process_resources.h"
#include "tests/support/url_handler.h"
#include "tests/support/key_observer.h"
#include "tests/support/keyvane_process.h"
#include "tests/support/remote_pad_driver.h"

namespace {

constexpr LONG Full = 1000;
// Polls to wait for before a change is taken as seen by the program.
constexpr int SettlePolls = 3;
// Several passes of a loop that does not poll (suspended, or in the help box).
constexpr DWORD QuietMs = 60;
constexpr DWORD WaitMs = 5000;
// Each purchase click starts a process; more would load the shared host.
constexpr DWORD PurchaseGapMs = 3000;
constexpr int FaultsShown = 10;

// Growth between the samples that still counts as noise: Wine's allocator
// and its window-manager caches move by a few pages; a leak of one handle or
// one window per step would pass these within seconds.
constexpr uint64_t WorkingSetNoise = 4u << 20;
constexpr uint64_t PrivateBytesNoise = 1u << 20;
constexpr DWORD HandleNoise = 8;
constexpr int WindowNoise = 0;

enum Action { Stick, Button, Suspend, Help, Purchase, Minimise, Mouse, PadGone, PadGlitch, ActionCount };

struct ActionKind {
    const char* name;
    int weight;
};

const ActionKind actionKinds[ActionCount] = {
    {"stick moves", 40}, {"button 1", 15},     {"suspend toggles", 8},   {"help boxes", 4},   {"purchase clicks", 2},
    {"minimise/restore", 5}, {"mouse moves", 12}, {"pad gone/back", 6}, {"failed reads", 6},
};

struct Soak {
    RemotePadDriver pads;
    int pad;
    KeyvaneProcess program;
    UrlHandler urls;
    std::mt19937 random;
    LONG x, y;
    bool button, suspended, padGone, minimised;
    int purchases;
    DWORD lastPurchase;
    long played[ActionCount];
    long steps;
    KeyTracker keys;
    std::vector<std::string> faults;
};

Soak soak;

void Fault(const std::string& what)
{
    soak.faults.push_back("step " + std::to_string(soak.steps) + ": " + what);
}

int Draw(int below)
{
    return std::uniform_int_distribution<int>(0, below - 1)(soak.random);
}

bool Quiet()
{
    return soak.suspended || soak.padGone;
}

HWND Gadget(ObjectId number)
{
    return GetDlgItem(soak.program.window, static_cast<int>(number));
}

void Settle(int polls = SettlePolls)
{
    if (soak.suspended)
        Sleep(QuietMs);
    else if (!RemotePadWaitReads(soak.pads, polls, WaitMs))
        Fault(std::string("Keyvane stopped polling the pad") + (soak.minimised ? " (minimised)" : "") +
              (soak.padGone ? " (pad gone)" : ""));
}

// Takes the keys injected since the last look and checks the keys down
// against the pad and the program's state.
void Check(const char* after, bool wasQuiet)
{
    const std::vector<KeyEvent> events = KeyObserverTake();
    if (wasQuiet && Quiet() && !events.empty())
        Fault(std::string(after) + ": keys injected while nothing may be pressed");
    KeyTrackerAdd(soak.keys, events);
    if (!soak.keys.fault.empty()) {
        Fault(std::string(after) + ": " + soak.keys.fault);
        soak.keys.fault.clear();
    }
    const unsigned active = Quiet() ? 0 : KeysActive(soak.x, soak.y, soak.button);
    const unsigned down = soak.keys.down;
    if ((down & active) != active || (down & ~KeysMayStayDown(active)))
        Fault(std::string(after) + ": keys down " + KeyNames(down) + ", pad holds " + KeyNames(active));
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
    static const LONG stops[] = {-Full, 0, Full};
    return stops[Draw(3)];
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

void PlaySuspend()
{
    PostMessageA(Gadget(SuspendCheckBox), BM_CLICK, 0, 0);
    soak.suspended = !soak.suspended;
    const LRESULT wanted = soak.suspended ? BST_CHECKED : BST_UNCHECKED;
    const DWORD start = GetTickCount();
    while (SendMessageA(Gadget(SuspendCheckBox), BM_GETCHECK, 0, 0) != wanted) {
        if (GetTickCount() - start > WaitMs) {
            Fault("the check box did not change");
            break;
        }
        Sleep(5);
    }
    Settle();
    // The first suspended pass lets go of what is held; on a loaded host
    // it may come later than the settling wait.
    const DWORD released = GetTickCount();
    while (soak.suspended && soak.keys.down && GetTickCount() - released < WaitMs) {
        KeyTrackerAdd(soak.keys, KeyObserverTake());
        Sleep(10);
    }
}

void PlayHelp()
{
    PostMessageA(Gadget(HelpButton), BM_CLICK, 0, 0);
    HWND box = KeyvaneWaitTopLevel(soak.program, "#32770", WaitMs);
    if (!box) {
        Fault("no help box");
        return;
    }
    KeyTrackerAdd(soak.keys, KeyObserverTake());
    if (soak.keys.down)
        Fault("help box up with keys down: " + KeyNames(soak.keys.down));
    SetPad(RandomAxis(), RandomAxis(), Draw(2));
    Sleep(QuietMs);
    if (!KeyObserverTake().empty())
        Fault("keys injected while the help box was up");
    MessageBoxDismiss(box);
    const DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < WaitMs)
        Sleep(5);
    if (IsWindow(box))
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

void PlayMinimise()
{
    soak.minimised = !soak.minimised;
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
    // Under Wine, a cursor resting on some of the gadgets feeds the loop a
    // message on every pass, and the pad is not polled until it moves away.
    SetCursorPos(0, 0);
    Settle();
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

Action DrawAction()
{
    int total = 0;
    for (const ActionKind& kind : actionKinds)
        total += kind.weight;
    int pick = Draw(total);
    for (int i = 0; i < ActionCount; ++i) {
        if ((pick -= actionKinds[i].weight) < 0)
            return static_cast<Action>(i);
    }
    return Stick;
}

void Play(Action action)
{
    // The reads of a gone pad already fail, and a suspended program does not
    // read: failures set up then would fall on a later step.
    if ((action == Purchase && GetTickCount() - soak.lastPurchase < PurchaseGapMs) ||
        (action == PadGlitch && Quiet()))
        action = Stick;
    const bool wasQuiet = Quiet();
    switch (action) {
    case Stick:
        PlayStick();
        break;
    case Button:
        SetPad(soak.x, soak.y, !soak.button);
        Settle();
        break;
    case Suspend:
        PlaySuspend();
        break;
    case Help:
        PlayHelp();
        break;
    case Purchase:
        PlayPurchase();
        break;
    case Minimise:
        PlayMinimise();
        break;
    case Mouse:
        PlayMouse();
        break;
    case PadGone:
        PlayPadGone();
        break;
    case PadGlitch:
        PlayGlitch();
        break;
    case ActionCount:
        break;
    }
    ++soak.played[action];
    ++soak.steps;
    Check(actionKinds[action].name, wasQuiet);
}

// Samples are taken with the window restored, so that both see the same
// windows.
bool Sample(ProcessResources& out)
{
    if (soak.minimised)
        Play(Minimise);
    if (!ProcessResourcesRead(soak.program.info.hProcess, soak.program.info.dwProcessId, out)) {
        Fault("cannot read Keyvane's resources");
        return false;
    }
    return true;
}

void CheckGrowth(const char* what, long long first, long long last, long long noise, const char* unit)
{
    const long long growth = last - first;
    printf("  %-14s %12lld %12lld %+12lld  (bound %+lld%s)\n", what, first, last, growth, noise, unit);
    if (growth > noise)
        Fault(std::string(what) + " grew beyond its bound");
}

void Report(const ProcessResources& first, const ProcessResources& last, DWORD code)
{
    long total = 0;
    for (long n : soak.played)
        total += n;
    printf("soak: events played: %ld\n", total);
    for (int i = 0; i < ActionCount; ++i)
        printf("  %-18s %ld\n", actionKinds[i].name, soak.played[i]);
    printf("soak: keys injected: %ld (%ld down, %ld up)\n", soak.keys.downs + soak.keys.ups, soak.keys.downs,
           soak.keys.ups);
    printf("soak: resources          at 10 %%     at 100 %%       growth\n");
    CheckGrowth("working set", first.workingSet / 1024, last.workingSet / 1024, WorkingSetNoise / 1024, " KiB");
    CheckGrowth("private bytes", first.privateBytes / 1024, last.privateBytes / 1024, PrivateBytesNoise / 1024,
                " KiB");
    CheckGrowth("handles", first.handles, last.handles, HandleNoise, "");
    CheckGrowth("windows", first.windows, last.windows, WindowNoise, "");
    printf("soak: Keyvane exited with code %lu; keys left down: %s\n", static_cast<unsigned long>(code),
           KeyNames(soak.keys.down).c_str());
}

// Every purchase click opens the page once, in a process of its own.
void CheckPurchases()
{
    const DWORD start = GetTickCount();
    std::vector<std::string> opened;
    while ((opened = UrlHandlerOpened(soak.urls)).size() < static_cast<size_t>(soak.purchases) &&
           GetTickCount() - start < 6 * WaitMs)
        Sleep(50);
    if (opened.size() != static_cast<size_t>(soak.purchases))
        Fault(std::to_string(soak.purchases) + " purchase clicks opened " + std::to_string(opened.size()) + " pages");
    for (const std::string& address : opened) {
        if (address != PurchasePageAddress)
            Fault("a purchase opened " + address);
    }
}

bool Start()
{
    if (!RemotePadCreate(soak.pads) || (soak.pad = RemotePadPlug(soak.pads)) < 0 || !KeyObserverStart()) {
        fprintf(stderr, "soak: cannot set up the simulated pad or the key observer\n");
        return false;
    }
    if (!UrlHandlerInstall(soak.urls)) {
        fprintf(stderr, "soak: cannot register the URL recorder\n");
        return false;
    }
    if (!KeyvaneStart(soak.program) || !KeyvaneWaitWindow(soak.program) ||
        !RemotePadWaitReads(soak.pads, SettlePolls)) {
        fprintf(stderr, "soak: Keyvane.exe did not start polling\n");
        return false;
    }
    KeyObserverTake();
    return true;
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
    if (!Start()) {
        Stop();
        return 1;
    }
    ProcessResources first = {}, last = {};
    bool sampled = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < runMs) {
        if (!sampled && GetTickCount() - start >= runMs / 10) {
            Sample(first);
            sampled = true;
        }
        Play(DrawAction());
        if (WaitForSingleObject(soak.program.info.hProcess, 0) == WAIT_OBJECT_0) {
            Fault("Keyvane ended during the run");
            break;
        }
    }
    Sample(last);
    CheckPurchases();
    const DWORD code = KeyvaneClose(soak.program);
    KeyTrackerAdd(soak.keys, KeyObserverTake());
    if (code != 0)
        Fault("Keyvane's exit code was " + std::to_string(code));
    if (soak.keys.down)
        Fault("keys left down after the exit: " + KeyNames(soak.keys.down));
    Report(first, last, code);
    Stop();
    for (size_t i = 0; i < soak.faults.size() && i < FaultsShown; ++i)
        printf("soak: FAULT %s\n", soak.faults[i].c_str());
    printf("soak: %s (seed %u)\n", soak.faults.empty() ? "passed" : "FAILED", seed);
    return soak.faults.empty() ? 0 : 1;
}
