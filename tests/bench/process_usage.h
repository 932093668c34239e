// What a running program costs in processor time, read from another
// process; its memory is read with ProcessResourcesRead.
#pragma once

#include <windows.h>

// Kernel and user time so far, in milliseconds, of the running program
// whose executable file is exeName. Wine keeps no times for other
// processes, so they are read from the host's /proc (through drive Z:),
// where every Wine process is a host process named by its executable's
// path; elsewhere from GetProcessTimes. -1 when neither tells.
double ProcessCpuMs(HANDLE process, const char* exeName);
