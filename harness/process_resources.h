// What a process holds, read from outside it: the figures a long run
// watches for growth.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct ProcessResources {
    uint64_t workingSet;    // bytes
    uint64_t privateBytes;  // bytes
    DWORD handles;
    int windows;            // top-level windows of the process and all their descendants
};

// False when the figures cannot be read (the handle needs query rights).
bool ProcessResourcesRead(HANDLE process, DWORD processId, ProcessResources& out);
// Its top-level windows, in the system's order.
std::vector<HWND> ProcessTopLevelWindows(DWORD processId);
