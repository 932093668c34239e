// What the entry routine has done by the time the joystick library starts.
#pragma once

#include "runtime/core/instance.h"
#include "tests/support/runtime_heaps.h"

inline void EnsureJoystickRuntime()
{
    EnsureRuntimeHeaps();
    InstanceHandle = GetModuleHandleA(nullptr);
}
