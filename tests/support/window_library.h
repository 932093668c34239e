// The started runtime and the event queue, as the window tests use them.
#pragma once

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/window/window.h"
#include "tests/support/runtime_start.h"

// Serves what is waiting without reporting it, and forgets queued events.
inline void DrainEvents()
{
    EventPumpPending();
    while (Events()->queueHead)
        EventWait(0);
}
