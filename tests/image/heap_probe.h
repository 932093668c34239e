// What the C heap holds, where AddressSanitizer can tell (the native build).
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KEYVANE_HEAP_PROBE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEYVANE_HEAP_PROBE 1
#endif
#endif

#ifdef KEYVANE_HEAP_PROBE
#include <sanitizer/allocator_interface.h>

inline size_t LargestAllocationSeen = 0;
inline void NoteAllocation(const volatile void*, size_t size)
{
    if (size > LargestAllocationSeen)
        LargestAllocationSeen = size;
}
inline void NoteFree(const volatile void*) {}
#endif

// Bytes in use; -1 where the count is not available.
inline long long HeapBytesInUse()
{
#ifdef KEYVANE_HEAP_PROBE
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    return -1;
#endif
}

// Starts recording the largest single allocation; false where it cannot.
inline bool WatchLargestAllocation()
{
#ifdef KEYVANE_HEAP_PROBE
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(NoteAllocation, NoteFree) != 0;
    LargestAllocationSeen = 0;
    return installed;
#else
    return false;
#endif
}

inline size_t LargestAllocation()
{
#ifdef KEYVANE_HEAP_PROBE
    return LargestAllocationSeen;
#else
    return 0;
#endif
}
