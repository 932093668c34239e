#include "tests/support/key_observer.h"

#include <gtest/gtest.h>

#include <ios>
#include <ostream>

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

CRITICAL_SECTION lock;
Seen hooked, raw;
ULONG_PTR awaitedMarker;
bool rawAwaited;
bool rawWatched;
HANDLE markerSeen;
HANDLE hookThread;
DWORD hookThreadId;

void Record(Seen& seen, const KeyEvent& event)
{
    EnterCriticalSection(&lock);
    if (event.vk == MarkerKey && (event.extraInfo & MarkerMask) == MarkerTag)
        seen.marker = event.extraInfo;
    else
        seen.events.push_back(event);
    if (hooked.marker == awaitedMarker && (!rawAwaited || raw.marker == awaitedMarker))
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
    Record(hooked, {static_cast<BYTE>(key->vkCode), static_cast<BYTE>(key->scanCode), flags, key->dwExtraInfo,
                    key->flags, key->time});
    return 1;
}

// Raw input, as a game that reads scan codes gets it. RIDEV_INPUTSINK: the
// keys go to another window, and Wine delivers them here even though the
// hook takes them out of the stream, but only while some window has the
// foreground.
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
        Record(raw, {static_cast<BYTE>(key.VKey), static_cast<BYTE>(key.MakeCode), flags, key.ExtraInformation,
                     key.Flags, static_cast<DWORD>(GetMessageTime())});
    }
    return DefWindowProcA(window, message, wParam, lParam);
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

// Injects a fresh marker and waits for the hook to see it.
bool MarkerComesThrough(DWORD timeoutMs, bool byRawInput = false)
{
    EnterCriticalSection(&lock);
    const ULONG_PTR marker = awaitedMarker = MarkerTag | ((awaitedMarker + 1) & ~MarkerMask);
    rawAwaited = byRawInput;
    ResetEvent(markerSeen);
    LeaveCriticalSection(&lock);
    keybd_event(MarkerKey, 0, KEYEVENTF_KEYUP, marker);
    return WaitForSingleObject(markerSeen, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace

KeyEvent Down(BYTE vk)
{
    const BYTE scan = vk == VK_UP ? 0x48 : vk == VK_DOWN ? 0x50 : vk == VK_LEFT ? 0x4B : vk == VK_RIGHT ? 0x4D : 0x39;
    return {vk, scan, vk == VK_SPACE ? 0u : KEYEVENTF_EXTENDEDKEY, 0};
}

KeyEvent Up(BYTE vk)
{
    const KeyEvent down = Down(vk);
    return {vk, down.scan, down.flags | KEYEVENTF_KEYUP, 0};
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
    }
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
    hooked.events.clear();
    raw.events.clear();
    LeaveCriticalSection(&lock);
    return true;
}

void KeyObserverStop()
{
    if (!hookThread)
        return;
    PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread, INFINITE);
    CloseHandle(hookThread);
    hookThread = nullptr;
}

std::vector<KeyEvent> KeyObserverTake(std::vector<KeyEvent>* rawInput)
{
    std::vector<KeyEvent> taken;
    if (!hookThread)
        ADD_FAILURE() << "KeyObserverTake without a running key observer";
    else if (!MarkerComesThrough(MarkerTimeoutMs, rawInput && rawWatched))
        ADD_FAILURE() << "the marker event did not come through within " << MarkerTimeoutMs << " ms"
                      << (rawInput ? " (raw input: does a window have the foreground?)" : "");
    EnterCriticalSection(&lock);
    taken.swap(hooked.events);
    if (rawInput)
        rawInput->swap(raw.events);
    raw.events.clear();
    LeaveCriticalSection(&lock);
    return taken;
}
