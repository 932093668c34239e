#include "runtime/core/result_buffer.h"

#include "runtime/core/string_heap.h"

StringResultBuffer ResultBuffer = {nullptr, 0, 0};

namespace {

constexpr int32_t InitialCapacity = 16;
// Grown beyond the need so that results rarely resize the buffer.
constexpr int32_t GrowthMargin = 16384;
// The growth test keeps this many bytes of the capacity in reserve.
constexpr int32_t Headroom = 4;

}  // namespace

void ResultBufferInit()
{
    if (!StringHeap)
        return;
    if (ResultBuffer.resultBase)
        HeapFree(StringHeap, StringHeapOptions, ResultBuffer.resultBase);
    ResultBuffer.resultUsed = 0;
    ResultBuffer.resultCapacity = InitialCapacity;
    ResultBuffer.resultBase = static_cast<char*>(HeapAlloc(StringHeap, StringHeapOptions, InitialCapacity));
    if (!ResultBuffer.resultBase)
        ResultBuffer.resultCapacity = 0;
}

char* ResultBufferReserve(int32_t n, int32_t position)
{
    if (!ResultBuffer.resultBase || n < 0 || position < 0)
        return nullptr;
    // Callers pass resultUsed as the position; a later position must not
    // let the write run past the block.
    int64_t from = position > ResultBuffer.resultUsed ? position : ResultBuffer.resultUsed;
    int64_t need = from + n;
    if (need >= ResultBuffer.resultCapacity - Headroom) {
        int64_t capacity = need + GrowthMargin;
        if (capacity > INT32_MAX - StringBlockExtra)
            return nullptr;
        void* grown = HeapReAlloc(StringHeap, StringHeapOptions, ResultBuffer.resultBase,
                                  static_cast<SIZE_T>(capacity) + StringBlockExtra);
        if (!grown)
            return nullptr;
        ResultBuffer.resultBase = static_cast<char*>(grown);
        ResultBuffer.resultCapacity = static_cast<int32_t>(capacity);
    }
    ResultBuffer.resultUsed = position + n;
    return ResultBuffer.resultBase + position;
}

void ResultBufferRelease(int32_t n)
{
    ResultBuffer.resultUsed -= n;
}

void ResultBufferSetEnd(int32_t position)
{
    ResultBuffer.resultUsed = position;
    if (ResultBuffer.resultBase && position >= 0 && position < ResultBuffer.resultCapacity)
        ResultBuffer.resultBase[position] = 0;
}
