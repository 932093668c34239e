// What a running program costs: processor time and memory, read from
// another process.
#pragma once

#include <windows.h>

// Kernel and user time so far, in milliseconds. Where the system keeps no
// times for other processes (Wine), those of the main thread, which does
// all the work of the programs measured.
double ProcessCpuMs(HANDLE process, HANDLE mainThread);

struct ProcessMemory {
    double workingSetMb;
    double privateMb;
};
// Zero when the system does not tell.
ProcessMemory ProcessMemoryNow(HANDLE process);
