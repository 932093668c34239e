// What a running program costs: processor time and memory, read from
// another process.
#pragma once

#include <windows.h>

// Kernel and user time so far, in milliseconds, of the running program
// whose executable file is exeName. Wine keeps no times for other
// processes, so they are read from the host's /proc (through drive Z:),
// where every Wine process is a host process named by its executable's
// path; elsewhere from GetProcessTimes. -1 when neither tells.
double ProcessCpuMs(HANDLE process, const char* exeName);

struct ProcessMemory {
    double workingSetMb;
    double privateMb;
};
// Zero when the system does not tell.
ProcessMemory ProcessMemoryNow(HANDLE process);
