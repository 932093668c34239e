#include "runtime/core/strings.h"

#include <cstring>

#include "runtime/core/result_buffer.h"

namespace {

constexpr SIZE_T StringHeapInitialSize = 4096;

bool LiesInside(const char* p, const char* block)
{
    SIZE_T size = HeapSize(StringHeap, StringHeapOptions, block);
    if (size == static_cast<SIZE_T>(-1))
        return false;
    auto at = reinterpret_cast<uintptr_t>(p);
    auto base = reinterpret_cast<uintptr_t>(block);
    return at >= base && at - base < size;
}

}  // namespace

void StringInit()
{
    if (!StringHeap)
        StringHeap = HeapCreate(StringHeapOptions, StringHeapInitialSize, 0);
    ResultBufferInit();
}

void StringAssign(char** variable, const char* source)
{
    char* block = *variable;
    if (!source) {
        if (block && StringHeap)
            HeapFree(StringHeap, StringHeapOptions, block);
        *variable = nullptr;
        return;
    }
    if (!StringHeap)
        return;
    int32_t n = StringLength(source);
    SIZE_T size = static_cast<SIZE_T>(n) + StringBlockExtra;

    // A resize would move or cut a source inside the variable's own block,
    // so such a source goes to a new block before the old one is freed.
    if (block && LiesInside(source, block)) {
        auto* fresh = static_cast<char*>(HeapAlloc(StringHeap, StringHeapOptions, size));
        if (!fresh)
            return;
        memcpy(fresh, source, n);
        fresh[n] = 0;
        HeapFree(StringHeap, StringHeapOptions, block);
        *variable = fresh;
        return;
    }

    void* resized = block ? HeapReAlloc(StringHeap, StringHeapOptions, block, size)
                          : HeapAlloc(StringHeap, StringHeapOptions, size);
    if (!resized)
        return;
    block = static_cast<char*>(resized);
    memcpy(block, source, n);
    block[n] = 0;
    *variable = block;
}

int32_t StringLength(const char* s)
{
    if (!s)
        return 0;
    return static_cast<int32_t>(strlen(s));
}

int32_t StringCompare(const char* a, const char* b)
{
    if (!a)
        a = "";
    if (!b)
        b = "";
    for (;; ++a, ++b) {
        if (*a != *b)
            return 0;
        if (*a == 0)
            return 1;
    }
}
