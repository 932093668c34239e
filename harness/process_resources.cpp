#include "harness/process_resources.h"

#include <psapi.h>
#include <winternl.h>

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// The handle count from the system's process list: Wine answers
// GetProcessHandleCount about another process with 0.
DWORD ListedHandleCount(DWORD processId)
{
    std::vector<char> buffer(1 << 16);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) < 0 &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    for (size_t at = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId)
            return entry->HandleCount;
        if (!entry->NextEntryOffset)
            return 0;
        at += entry->NextEntryOffset;
    }
}

}  // namespace

std::vector<HWND> ProcessTopLevelWindows(DWORD processId)
{
    std::vector<HWND> all, mine;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            mine.push_back(window);
    }
    return mine;
}

bool ProcessResourcesRead(HANDLE process, DWORD processId, ProcessResources& out)
{
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) ||
        !GetProcessHandleCount(process, &out.handles))
        return false;
    if (!out.handles)
        out.handles = ListedHandleCount(processId);
    out.workingSet = memory.WorkingSetSize;
    // Wine fills only the commit charge, which is the same figure.
    out.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    out.windows = 0;
    for (HWND window : ProcessTopLevelWindows(processId)) {
        std::vector<HWND> children;
        EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
        out.windows += 1 + static_cast<int>(children.size());
    }
    return true;
}
