// Single-instance state records of the runtime libraries.
#pragma once

#include <cstddef>

using StateInitRoutine = void (*)(void* state);
using StateReleaseRoutine = void (*)(void* state);

// A zero-filled record from the MainHeap, passed to init when it is set;
// null when memory runs out (init is then not called). The release routine
// is accepted and never called: state records last until the MainHeap goes.
void* StateObjectNew(size_t size, StateInitRoutine init, StateReleaseRoutine release);

// The state record itself: every operation reaches its record through this.
inline void* StateObjectGet(void* state)
{
    return state;
}
