#include "tests/support/key_observer.h"

#include <gtest/gtest.h>

#include <ios>
#include <ostream>

namespace {

// Each Take injects a key-up of an unused key carrying a numbered tag; once
// the hook has seen it, it has seen everything injected before it.
constexpr BYTE MarkerKey = VK_F24;
constexpr ULONG_PTR MarkerTag = 0x4B560000;
constexpr ULONG_PTR MarkerMask = 0xFFFF0000;
constexpr DWORD MarkerTimeoutMs = 5000;

CRITICAL_SECTION lock;
std::vector<KeyEvent> events;
ULONG_PTR awaitedMarker;
HANDLE markerSeen;
HANDLE hookThread;
DWORD hookThreadId;

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(key->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, message, data);
    EnterCriticalSection(&lock);
    if (key->vkCode == MarkerKey && (key->dwExtraInfo & MarkerMask) == MarkerTag) {
        if (key->dwExtraInfo == awaitedMarker)
            SetEvent(markerSeen);
    } else {
        const DWORD flags = (key->flags & LLKHF_EXTENDED ? KEYEVENTF_EXTENDEDKEY : 0) |
                            (key->flags & LLKHF_UP ? KEYEVENTF_KEYUP : 0);
        events.push_back({static_cast<BYTE>(key->vkCode), static_cast<BYTE>(key->scanCode), flags, key->dwExtraInfo,
                          key->flags, key->time});
    }
    LeaveCriticalSection(&lock);
    return 1;
}

// The hook is called through its thread's message loop.
DWORD WINAPI HookThread(void* ready)
{
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    SetEvent(ready);
    MSG msg;
    while (hook && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return hook && UnhookWindowsHookEx(hook);
}

// Injects a fresh marker and waits for the hook to see it.
bool MarkerComesThrough(DWORD timeoutMs)
{
    EnterCriticalSection(&lock);
    const ULONG_PTR marker = awaitedMarker = MarkerTag | ((awaitedMarker + 1) & ~MarkerMask);
    ResetEvent(markerSeen);
    LeaveCriticalSection(&lock);
    keybd_event(MarkerKey, 0, KEYEVENTF_KEYUP, marker);
    return WaitForSingleObject(markerSeen, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace

bool operator==(const KeyEvent& a, const KeyEvent& b)
{
    return a.vk == b.vk && a.scan == b.scan && a.flags == b.flags && a.extraInfo == b.extraInfo;
}

void PrintTo(const KeyEvent& event, std::ostream* out)
{
    *out << std::hex << std::showbase << "{vk " << unsigned(event.vk) << ", scan " << unsigned(event.scan)
         << ", flags " << event.flags << ", extra " << event.extraInfo << "}" << std::dec << std::noshowbase;
}

bool KeyObserverStart()
{
    if (hookThread)
        return true;
    if (!markerSeen) {
        InitializeCriticalSection(&lock);
        markerSeen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    hookThread = CreateThread(nullptr, 0, HookThread, ready, 0, &hookThreadId);
    if (!hookThread) {
        CloseHandle(ready);
        return false;
    }
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    // Wine can drop the events injected just after the hook is installed:
    // the observer is ready once a marker has come through. A thread that
    // ended has no hook.
    bool primed = false;
    for (int step = 0; !primed && step < 100 && WaitForSingleObject(hookThread, 0) == WAIT_TIMEOUT; ++step)
        primed = MarkerComesThrough(100);
    if (!primed) {
        KeyObserverStop();
        return false;
    }
    // Nothing injected while priming belongs to a test.
    EnterCriticalSection(&lock);
    events.clear();
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
    EnterCriticalSection(&lock);
    events.clear();
    LeaveCriticalSection(&lock);
}

std::vector<KeyEvent> KeyObserverTake()
{
    std::vector<KeyEvent> taken;
    if (!hookThread)
        ADD_FAILURE() << "KeyObserverTake without a running key observer";
    else if (!MarkerComesThrough(MarkerTimeoutMs))
        ADD_FAILURE() << "the keyboard hook did not see the marker event within " << MarkerTimeoutMs << " ms";
    EnterCriticalSection(&lock);
    taken.swap(events);
    LeaveCriticalSection(&lock);
    return taken;
}
