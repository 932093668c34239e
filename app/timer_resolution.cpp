#include "app/timer_resolution.h"

#include "runtime/core/system_library.h"

namespace {

constexpr UINT TimerPeriodMs = 1;

// While 1 ms timers are asked for: the library, and its function that ends
// the request.
HMODULE multimediaLibrary;
TimePeriodFunction timerPeriodEnd;

}  // namespace

void PowerThrottlingOptOut()
{
    const auto set = SystemLibraryFunction<SetProcessInformationFunction>(GetModuleHandleA("KERNEL32.DLL"),
                                                                          "SetProcessInformation");
    if (!set)
        return;
    // A bit in ControlMask and not in StateMask: never throttled that way.
    PROCESS_POWER_THROTTLING_STATE state = {
        PROCESS_POWER_THROTTLING_CURRENT_VERSION,
        PROCESS_POWER_THROTTLING_EXECUTION_SPEED | PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION, 0};
    // Windows before 11 may refuse the timer bit, and before 10 version
    // 1709 the whole call.
    if (!set(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state)) {
        state.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
        set(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
    }
}

void TimerResolutionBegin()
{
    HMODULE library = SystemLibraryLoad(MultimediaLibrary);
    const auto begin = library ? SystemLibraryFunction<TimePeriodFunction>(library, "timeBeginPeriod") : nullptr;
    const auto end = library ? SystemLibraryFunction<TimePeriodFunction>(library, "timeEndPeriod") : nullptr;
    if (begin && end && begin(TimerPeriodMs) == TIMERR_NOERROR) {
        multimediaLibrary = library;
        timerPeriodEnd = end;
    } else if (library) {
        FreeLibrary(library);
    }
}

void TimerResolutionEnd()
{
    if (!timerPeriodEnd)
        return;
    timerPeriodEnd(TimerPeriodMs);
    FreeLibrary(multimediaLibrary);
    timerPeriodEnd = nullptr;
    multimediaLibrary = nullptr;
}
