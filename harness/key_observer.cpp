#include "harness/key_observer.h"

#include <gtest/gtest.h>

#include <ios>
#include <ostream>

#include "app/key_target.h"

namespace {

// Each Take injects a key-up of an unused key carrying a numbered tag; once
// the hook and the raw input window have seen it, they have seen everything
// injected before it.
constexpr BYTE MarkerKey = VK_F24;
constexpr ULONG_PTR MarkerTag = 0x4B560000;
constexpr ULONG_PTR MarkerMask = 0xFFFF0000;
constexpr DWORD MarkerTimeoutMs = 5000;
constexpr char RawSinkClass[] = "KeyObserverRawSink";
// The keyboard in HID terms: generic desktop page, keyboard usage.
constexpr USHORT GenericDesktopPage = 1, KeyboardUsage = 6;

// What one reader saw since the last Take, and the last marker it saw.
struct Seen {
    std::vector<KeyEvent> events;
    ULONG_PTR marker;
};
enum Reader { Hooked, Raw, Game, Readers };

CRITICAL_SECTION lock;
Seen seen[Readers];
ULONG_PTR awaitedMarker;
unsigned awaitedReaders;  // a bit per Reader
bool rawWatched;
HANDLE markerSeen;
HANDLE hookThread;
DWORD hookThreadId;
volatile LONG holdMs;
HANDLE holding;

void Record(Reader reader, const KeyEvent& event)
{
    EnterCriticalSection(&lock);
    if (event.vk == MarkerKey && (event.extraInfo & MarkerMask) == MarkerTag)
        seen[reader].marker = event.extraInfo;
    else
        seen[reader].events.push_back(event);
    bool all = true;
    for (int r = 0; r < Readers; ++r)
        all = all && (!(awaitedReaders & 1u << r) || seen[r].marker == awaitedMarker);
    if (all)
        SetEvent(markerSeen);
    LeaveCriticalSection(&lock);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(key->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, message, data);
    const DWORD flags =
        (key->flags & LLKHF_EXTENDED ? KEYEVENTF_EXTENDEDKEY : 0) | (key->flags & LLKHF_UP ? KEYEVENTF_KEYUP : 0);
    Record(Hooked, {static_cast<BYTE>(key->vkCode), static_cast<BYTE>(key->scanCode), flags, key->dwExtraInfo,
                    key->flags, key->time});
    if (!(flags & KEYEVENTF_KEYUP))
        if (const LONG ms = InterlockedExchange(&holdMs, 0)) {
            SetEvent(holding);
            Sleep(ms);
        }
    // On to the window in front: the game, when a test put it there.
    return CallNextHookEx(nullptr, code, message, data);
}

// Raw input, as a game that reads scan codes gets it. RIDEV_INPUTSINK: the
// keys go to another window, and Wine delivers them here, but only while
// some window has the foreground.
LRESULT CALLBACK RawSink(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RAWINPUT input;
    UINT size = sizeof input;
    if (message == WM_INPUT &&
        GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size, sizeof input.header) != UINT(-1) &&
        input.header.dwType == RIM_TYPEKEYBOARD) {
        const RAWKEYBOARD& key = input.data.keyboard;
        const DWORD flags =
            (key.Flags & RI_KEY_E0 ? KEYEVENTF_EXTENDEDKEY : 0) | (key.Flags & RI_KEY_BREAK ? KEYEVENTF_KEYUP : 0);
        Record(Raw, {static_cast<BYTE>(key.VKey), static_cast<BYTE>(key.MakeCode), flags, key.ExtraInformation,
                     key.Flags, static_cast<DWORD>(GetMessageTime())});
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The game's window: the key messages it gets, as a game that reads them
// sees them. The marker is told by the extra information of its input.
void RecordGameKey(UINT message, WPARAM wParam, LPARAM lParam, ULONG_PTR extraInfo)
{
    const DWORD flags = (lParam & 1 << 24 ? KEYEVENTF_EXTENDEDKEY : 0) | (message == WM_KEYUP ? KEYEVENTF_KEYUP : 0);
    Record(Game, {static_cast<BYTE>(wParam), static_cast<BYTE>(lParam >> 16), flags, extraInfo,
                  static_cast<DWORD>(lParam), static_cast<DWORD>(GetMessageTime())});
}

// The hook and the raw input window are served by this thread's messages.
DWORD WINAPI HookThread(void* ready)
{
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    const WNDCLASSA sinkClass = {0, RawSink, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
                                 RawSinkClass};
    RegisterClassA(&sinkClass);
    HWND sink = CreateWindowA(RawSinkClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    RAWINPUTDEVICE keyboard = {GenericDesktopPage, KeyboardUsage, RIDEV_INPUTSINK, sink};
    const bool ok = hook && sink && (!rawWatched || RegisterRawInputDevices(&keyboard, 1, sizeof keyboard));
    SetEvent(ready);
    MSG msg;
    while (ok && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (sink)
        DestroyWindow(sink);
    return hook && UnhookWindowsHookEx(hook) && ok;
}

// Injects a fresh marker and waits for the hook, and the readers asked
// for, to see it.
bool MarkerComesThrough(DWORD timeoutMs, unsigned readers = 1u << Hooked)
{
    EnterCriticalSection(&lock);
    const ULONG_PTR marker = awaitedMarker = MarkerTag | ((awaitedMarker + 1) & ~MarkerMask);
    awaitedReaders = readers | 1u << Hooked;
    ResetEvent(markerSeen);
    LeaveCriticalSection(&lock);
    keybd_event(MarkerKey, 0, KEYEVENTF_KEYUP, marker);
    return WaitForSingleObject(markerSeen, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace

KeyEvent Down(BYTE vk)
{
    const BYTE scan = vk == VK_UP ? 0x48 : vk == VK_DOWN ? 0x50 : vk == VK_LEFT ? 0x4B : vk == VK_RIGHT ? 0x4D : 0x39;
    return {vk, scan, vk == VK_SPACE ? 0u : KEYEVENTF_EXTENDEDKEY, InjectedKeyTag};
}

KeyEvent Up(BYTE vk)
{
    const KeyEvent down = Down(vk);
    return {vk, down.scan, down.flags | KEYEVENTF_KEYUP, InjectedKeyTag};
}

bool operator==(const KeyEvent& a, const KeyEvent& b)
{
    return a.vk == b.vk && a.scan == b.scan && a.flags == b.flags && a.extraInfo == b.extraInfo;
}

void PrintTo(const KeyEvent& event, std::ostream* out)
{
    *out << std::hex << std::showbase << "{vk " << unsigned(event.vk) << ", scan " << unsigned(event.scan)
         << ", flags " << event.flags << ", extra " << event.extraInfo << "}" << std::dec << std::noshowbase;
}

bool KeyObserverStart(bool rawInput)
{
    if (hookThread)
        return rawInput == rawWatched;
    rawWatched = rawInput;
    if (!markerSeen) {
        InitializeCriticalSection(&lock);
        markerSeen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        holding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    if (!GameWindowOpen(RecordGameKey))
        return false;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    hookThread = CreateThread(nullptr, 0, HookThread, ready, 0, &hookThreadId);
    if (hookThread)
        WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    // Wine can drop the events injected just after the hook is installed:
    // the observer is ready once a marker has come through. A thread that
    // ended (or never started) has no hook.
    bool primed = false;
    for (int step = 0; !primed && step < 100 && WaitForSingleObject(hookThread, 0) == WAIT_TIMEOUT; ++step)
        primed = MarkerComesThrough(100);
    if (!primed) {
        KeyObserverStop();
        return false;
    }
    // Nothing injected while priming, or before a stop, belongs to a test.
    EnterCriticalSection(&lock);
    for (Seen& reader : seen)
        reader.events.clear();
    LeaveCriticalSection(&lock);
    return true;
}

void KeyObserverStop()
{
    GameWindowClose();
    if (!hookThread)
        return;
    PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread, INFINITE);
    CloseHandle(hookThread);
    hookThread = nullptr;
}

std::vector<KeyEvent> KeyObserverTake(std::vector<KeyEvent>* rawInput, std::vector<KeyEvent>* gameKeys)
{
    std::vector<KeyEvent> taken;
    const unsigned readers = (rawInput && rawWatched ? 1u << Raw : 0) | (gameKeys ? 1u << Game : 0);
    if (!hookThread)
        ADD_FAILURE() << "KeyObserverTake without a running key observer";
    else if (!MarkerComesThrough(MarkerTimeoutMs, readers))
        ADD_FAILURE() << "the marker event did not come through within " << MarkerTimeoutMs << " ms"
                      << (readers ? " (is the game window in front?)" : "");
    EnterCriticalSection(&lock);
    taken.swap(seen[Hooked].events);
    if (rawInput)
        rawInput->swap(seen[Raw].events);
    if (gameKeys)
        gameKeys->swap(seen[Game].events);
    seen[Raw].events.clear();
    seen[Game].events.clear();
    LeaveCriticalSection(&lock);
    return taken;
}

bool KeyObserverHoldKeyDown(DWORD ms)
{
    ResetEvent(holding);
    InterlockedExchange(&holdMs, static_cast<LONG>(ms));
    if (WaitForSingleObject(holding, MarkerTimeoutMs) == WAIT_OBJECT_0)
        return true;
    InterlockedExchange(&holdMs, 0);
    return false;
}
