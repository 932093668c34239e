// The runtime started once per test program, as Keyvane starts it. The
// joystick library is left to the tests that use it, as Keyvane leaves it
// to its entry routine.
#pragma once

#include "runtime/runtime.h"

inline void EnsureRuntime()
{
    static const bool started = (RuntimeStart(), true);
    (void)started;
}
