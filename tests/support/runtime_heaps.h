// The heaps that the entry routine creates before any library starts.
#pragma once

#include "runtime/core/heaps.h"

inline void EnsureRuntimeHeaps()
{
    if (!MainHeap)
        MainHeap = HeapCreate(0, 4096, 0);
    ListHeapInit();
}
