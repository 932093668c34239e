#include "tests/support/process_resources.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM data)
{
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data)
{
    auto* count = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->processId) {
        ++count->count;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count->count));
    }
    return TRUE;
}

// The handle count from the system's process list: Wine answers
// GetProcessHandleCount about another process with 0.
DWORD ListedHandleCount(DWORD processId)
{
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) < 0 &&
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

int ProcessWindowCount(DWORD processId)
{
    WindowCount count = {processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count.count;
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
    out.windows = ProcessWindowCount(processId);
    return true;
}
