#include "tests/bench/process_usage.h"

#include <psapi.h>

namespace {

constexpr double HundredNsPerMs = 10000.0;
constexpr double BytesPerMb = 1024.0 * 1024.0;

double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / HundredNsPerMs;
}

}  // namespace

double ProcessCpuMs(HANDLE process, HANDLE mainThread)
{
    FILETIME created, exited, kernel = {}, user = {};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) && FileTimeMs(kernel) + FileTimeMs(user) > 0)
        return FileTimeMs(kernel) + FileTimeMs(user);
    if (!GetThreadTimes(mainThread, &created, &exited, &kernel, &user))
        return 0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

ProcessMemory ProcessMemoryNow(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return ProcessMemory{0, 0};
    return ProcessMemory{static_cast<double>(counters.WorkingSetSize) / BytesPerMb,
                         static_cast<double>(counters.PrivateUsage) / BytesPerMb};
}
