// Wine's timeBeginPeriod changes nothing and its SetProcessInformation
// refuses power throttling, so a program's requests show nowhere outside
// it. Inside, dinput.dll puts a jump to a recorder at the start of each;
// the recorder notes the call with the reads made on the pads so far, and
// answers as Wine does, without running the original.
#include <cstdio>
#include <cstring>

#include "harness/remote_dinput.h"

#include <mmsystem.h>

namespace {

RemotePadBlock* watched;

#ifdef _WIN64
constexpr BYTE Jump[] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};  // mov rax, target; jmp rax
constexpr size_t JumpTarget = 2;
#else
constexpr BYTE Jump[] = {0xE9, 0, 0, 0, 0};  // jmp rel32, from the next instruction
constexpr size_t JumpTarget = 1;
#endif

template <typename... Args>
void Note(const char* format, Args... args)
{
    // One thread calls, and the test reads once the program has ended.
    char call[128];
    std::snprintf(call, sizeof call, format, args...);
    char* log = watched->timerCalls;
    const size_t used = std::strlen(log);
    std::snprintf(log + used, sizeof watched->timerCalls - used, "%s @%ld ", call,
                  RemotePadRead(&watched->readStampNext));
}

MMRESULT WINAPI TimeBeginPeriod(UINT period)
{
    Note("timeBeginPeriod(%u)", period);
    return TIMERR_NOERROR;
}

MMRESULT WINAPI TimeEndPeriod(UINT period)
{
    Note("timeEndPeriod(%u)", period);
    return TIMERR_NOERROR;
}

BOOL WINAPI SetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID data, DWORD size)
{
    const auto* state = static_cast<const PROCESS_POWER_THROTTLING_STATE*>(data);
    if (process == GetCurrentProcess() && kind == ProcessPowerThrottling && state && size == sizeof *state)
        Note("power throttling {%lu, %#lx, %#lx}", state->Version, state->ControlMask, state->StateMask);
    else
        Note("SetProcessInformation(%d, %lu)", kind, size);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

struct Hook {
    const char* dll;
    const char* name;
    void* recorder;
    BYTE* site;  // null while not hooked
    BYTE original[sizeof Jump];
};

Hook hooks[] = {
    {"winmm.dll", "timeBeginPeriod", reinterpret_cast<void*>(TimeBeginPeriod), nullptr, {}},
    {"winmm.dll", "timeEndPeriod", reinterpret_cast<void*>(TimeEndPeriod), nullptr, {}},
    {"kernel32.dll", "SetProcessInformation", reinterpret_cast<void*>(SetProcessInformation), nullptr, {}},
};

void Write(BYTE* site, const BYTE* code)
{
    DWORD protection;
    VirtualProtect(site, sizeof Jump, PAGE_EXECUTE_READWRITE, &protection);
    std::memcpy(site, code, sizeof Jump);
    VirtualProtect(site, sizeof Jump, protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), site, sizeof Jump);
}

}  // namespace

void RemoteTimerWatch(RemotePadBlock* block)
{
    watched = block;
    for (Hook& hook : hooks) {
        // Loaded for good, so that the site is still there to be restored.
        HMODULE dll = hook.site ? nullptr : LoadLibraryA(hook.dll);
        if (!dll || !(hook.site = reinterpret_cast<BYTE*>(GetProcAddress(dll, hook.name))))
            continue;
        std::memcpy(hook.original, hook.site, sizeof Jump);
        BYTE code[sizeof Jump];
        std::memcpy(code, Jump, sizeof Jump);
#ifdef _WIN64
        const auto target = reinterpret_cast<ULONG_PTR>(hook.recorder);
#else
        const auto target = reinterpret_cast<ULONG_PTR>(hook.recorder) - reinterpret_cast<ULONG_PTR>(hook.site + sizeof Jump);
#endif
        std::memcpy(code + JumpTarget, &target, sizeof target);
        Write(hook.site, code);
    }
}

void RemoteTimerUnwatch()
{
    for (Hook& hook : hooks) {
        if (hook.site)
            Write(hook.site, hook.original);
        hook.site = nullptr;
    }
}
