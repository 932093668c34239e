#include "runtime/core/heaps.h"

HANDLE MainHeap = nullptr;
HANDLE ListHeap = nullptr;

namespace {

// Only a first block: list nodes are small, and the heap grows with them.
constexpr SIZE_T ListHeapInitialSize = 1024;

}  // namespace

void ListHeapInit()
{
    if (!ListHeap)
        ListHeap = HeapCreate(0, ListHeapInitialSize, 0);
}

void ListHeapEnd()
{
    // The ListHeap ends with the process.
}

void* MainHeapAllocZero(size_t size)
{
    if (!MainHeap)
        return nullptr;
    return HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, size);
}

void* MainHeapResizeZero(void* block, size_t size)
{
    if (!MainHeap)
        return nullptr;
    if (!block)
        return HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, size);
    return HeapReAlloc(MainHeap, HEAP_ZERO_MEMORY, block, size);
}

void MainHeapFree(void* block)
{
    if (MainHeap && block)
        HeapFree(MainHeap, 0, block);
}
