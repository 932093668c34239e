// The set of AutoNumber handles that one object table has handed out and not
// released, so that a lookup can tell a handle from any other value in
// constant time without reading through it.
#pragma once

#include <cstdint>

struct HandleSet {
    uintptr_t* cells;  // open addressing; 0 empty, 1 removed
    int32_t capacity;  // a power of two, or 0
    int32_t used;      // live and removed cells
};

// False when the set could not grow; the set is then unchanged.
bool HandleSetAdd(HandleSet* set, uintptr_t handle);
bool HandleSetContains(const HandleSet* set, uintptr_t handle);
void HandleSetRemove(HandleSet* set, uintptr_t handle);
