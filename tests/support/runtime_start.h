// The runtime started once per test program, as Keyvane starts it (the
// joystick library is the tests' own to start), and its event queue drained.
#pragma once

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/runtime.h"
#include "runtime/window/window.h"

inline void EnsureRuntime()
{
    [[maybe_unused]] static const bool started = (RuntimeStart(), true);
}

// Serves what is waiting without reporting it, and forgets queued events.
inline void DrainEvents()
{
    EventPumpPending();
    while (Events()->queueHead)
        EventWait(0);
}
