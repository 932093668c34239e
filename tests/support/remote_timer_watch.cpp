// Wine's timeBeginPeriod changes nothing and its SetProcessInformation
// refuses power throttling, so a program's requests show nowhere outside
// it. Inside, dinput.dll puts a jump to a recorder at the start of each
// function; the recorder notes the call, with the reads made on the pads
// so far, and answers as Wine does, without running the original.
#include <cstdio>
#include <cstring>

#include "tests/support/remote_dinput.h"

#include <mmsystem.h>

namespace {

RemotePadBlock* watched;

#ifdef _WIN64
constexpr size_t JumpSize = 12;  // mov rax, target; jmp rax
#else
constexpr size_t JumpSize = 5;  // jmp rel32
#endif

struct Hook {
    const char* dll;
    const char* name;
    void* recorder;
    BYTE* site;  // null while not hooked
    BYTE original[JumpSize];
};

template <typename... Args>
void Note(const char* format, Args... args)
{
    char call[128];
    std::snprintf(call, sizeof call, format, args...);
    // One thread makes these calls, and the test reads them once the program has ended.
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

Hook hooks[] = {
    {"winmm.dll", "timeBeginPeriod", reinterpret_cast<void*>(TimeBeginPeriod), nullptr, {}},
    {"winmm.dll", "timeEndPeriod", reinterpret_cast<void*>(TimeEndPeriod), nullptr, {}},
    {"kernel32.dll", "SetProcessInformation", reinterpret_cast<void*>(SetProcessInformation), nullptr, {}},
};

void Write(BYTE* site, const BYTE* bytes)
{
    DWORD protection;
    VirtualProtect(site, JumpSize, PAGE_EXECUTE_READWRITE, &protection);
    std::memcpy(site, bytes, JumpSize);
    VirtualProtect(site, JumpSize, protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), site, JumpSize);
}

}  // namespace

void RemoteTimerWatch(RemotePadBlock* block)
{
    watched = block;
    for (Hook& hook : hooks) {
        // Loaded for good, so that the site is still there to be restored.
        HMODULE dll = hook.site ? nullptr : LoadLibraryA(hook.dll);
        hook.site = dll ? reinterpret_cast<BYTE*>(GetProcAddress(dll, hook.name)) : hook.site;
        if (!dll || !hook.site)
            continue;
        std::memcpy(hook.original, hook.site, JumpSize);
        const auto target = reinterpret_cast<ULONG_PTR>(hook.recorder);
#ifdef _WIN64
        BYTE jump[JumpSize] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};
        std::memcpy(jump + 2, &target, sizeof target);
#else
        const ULONG_PTR offset = target - reinterpret_cast<ULONG_PTR>(hook.site + JumpSize);
        BYTE jump[JumpSize] = {0xE9};
        std::memcpy(jump + 1, &offset, sizeof offset);
#endif
        Write(hook.site, jump);
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
