#include "runtime/core/state_object.h"

#include "runtime/core/heaps.h"

void* StateObjectNew(size_t size, StateInitRoutine init, StateReleaseRoutine)
{
    void* state = MainHeapAllocZero(size);
    if (state && init)
        init(state);
    return state;
}
