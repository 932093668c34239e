#include "runtime/core/handle_set.h"

#include "runtime/core/heaps.h"

namespace {

constexpr uintptr_t EmptyCell = 0;
constexpr uintptr_t RemovedCell = 1;
constexpr int32_t FirstCapacity = 16;

uint32_t CellIndex(uintptr_t handle, int32_t capacity)
{
    // Handles are heap addresses: the low bits carry no information.
    return (static_cast<uint32_t>(handle >> 3) * 2654435761u) & (capacity - 1);
}

// Index of handle's cell, or of the empty cell where it would go.
int32_t Probe(const HandleSet* set, uintptr_t handle)
{
    uint32_t i = CellIndex(handle, set->capacity);
    while (set->cells[i] != EmptyCell && set->cells[i] != handle)
        i = (i + 1) & (set->capacity - 1);
    return static_cast<int32_t>(i);
}

bool Rehash(HandleSet* set, int32_t capacity)
{
    auto* cells = static_cast<uintptr_t*>(MainHeapAllocZero(capacity * sizeof(uintptr_t)));
    if (!cells)
        return false;
    HandleSet grown{cells, capacity, 0};
    for (int32_t i = 0; i < set->capacity; ++i) {
        uintptr_t h = set->cells[i];
        if (h != EmptyCell && h != RemovedCell) {
            grown.cells[Probe(&grown, h)] = h;
            ++grown.used;
        }
    }
    MainHeapFree(set->cells);
    *set = grown;
    return true;
}

}  // namespace

bool HandleSetAdd(HandleSet* set, uintptr_t handle)
{
    // Keep at least half of the cells empty so that probes stay short.
    if ((set->used + 1) * 2 > set->capacity) {
        int32_t live = 0;
        for (int32_t i = 0; i < set->capacity; ++i)
            live += set->cells[i] > RemovedCell;
        int32_t capacity = FirstCapacity;
        while (capacity < (live + 1) * 4)
            capacity *= 2;
        if (!Rehash(set, capacity))
            return false;
    }
    int32_t i = Probe(set, handle);
    if (set->cells[i] == EmptyCell) {
        set->cells[i] = handle;
        ++set->used;
    }
    return true;
}

bool HandleSetContains(const HandleSet* set, uintptr_t handle)
{
    if (set->capacity == 0 || handle <= RemovedCell)
        return false;
    return set->cells[Probe(set, handle)] == handle;
}

void HandleSetRemove(HandleSet* set, uintptr_t handle)
{
    if (!HandleSetContains(set, handle))
        return;
    set->cells[Probe(set, handle)] = RemovedCell;
}
