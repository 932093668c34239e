#include "tests/bench/key_stamps.h"

#include <deque>

#include "tests/bench/bench_stats.h"

namespace {

struct KeyStamp {
    BYTE vk;
    bool up;
    long long counter;
};

// The priming key: one no program of the bench presses.
constexpr BYTE PrimingKey = VK_F24;
constexpr int PrimingTries = 100;
constexpr DWORD PrimingStepMs = 100;

CRITICAL_SECTION lock;
std::deque<KeyStamp> seen;
HANDLE keySeen;
HANDLE hookReady;
HANDLE hookThread;
DWORD hookThreadId;
bool hooked;

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data)
{
    const long long now = CounterNow();
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(key->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, message, data);
    EnterCriticalSection(&lock);
    seen.push_back({static_cast<BYTE>(key->vkCode), (key->flags & LLKHF_UP) != 0, now});
    LeaveCriticalSection(&lock);
    SetEvent(keySeen);
    return 1;
}

DWORD WINAPI HookThread(void*)
{
    // Stamps taken late would count against the programs measured.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    hooked = hook != nullptr;
    SetEvent(hookReady);
    MSG msg;
    while (hook && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (hook)
        UnhookWindowsHookEx(hook);
    return 0;
}

}  // namespace

bool KeyStampsStart()
{
    InitializeCriticalSection(&lock);
    keySeen = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    hookReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    hookThread = CreateThread(nullptr, 0, HookThread, nullptr, 0, &hookThreadId);
    WaitForSingleObject(hookReady, INFINITE);
    if (!hooked)
        return false;
    for (int i = 0; i < PrimingTries; ++i) {
        KeyStampsClear();
        keybd_event(PrimingKey, 0, KEYEVENTF_KEYUP, 0);
        if (KeyStampsWait(PrimingKey, true, 0, PrimingStepMs))
            return true;
    }
    return false;
}

void KeyStampsStop()
{
    PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread, INFINITE);
    CloseHandle(hookThread);
}

void KeyStampsClear()
{
    EnterCriticalSection(&lock);
    seen.clear();
    LeaveCriticalSection(&lock);
}

namespace {

// The stamp of the first event that matches, taken out of the queue with
// the ones before it unless they are kept; 0 when none matches yet.
long long TakeMatch(BYTE vk, bool up, long long since, bool keepOthers)
{
    long long found = 0;
    EnterCriticalSection(&lock);
    for (auto key = seen.begin(); key != seen.end() && !found;) {
        if (key->vk == vk && key->up == up && key->counter > since)
            found = key->counter;
        key = keepOthers && !found ? key + 1 : seen.erase(key);
    }
    LeaveCriticalSection(&lock);
    return found;
}

long long AwaitMatch(BYTE vk, bool up, long long since, DWORD timeoutMs, bool keepOthers)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const long long found = TakeMatch(vk, up, since, keepOthers);
        const DWORD waited = GetTickCount() - start;
        if (found || waited >= timeoutMs)
            return found;
        WaitForSingleObject(keySeen, timeoutMs - waited);
    }
}

}  // namespace

long long KeyStampsWait(BYTE vk, bool up, long long since, DWORD timeoutMs)
{
    return AwaitMatch(vk, up, since, timeoutMs, false);
}

long long KeyStampsPeek(BYTE vk, bool up, long long since, DWORD timeoutMs)
{
    return AwaitMatch(vk, up, since, timeoutMs, true);
}
