// Starts the libraries a window test needs, once per test program, as the
// application's start-up does.
#pragma once

#include <vector>

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/window/events.h"
#include "runtime/window/window.h"
#include "tests/support/runtime_heaps.h"

inline void EnsureWindowLibrary()
{
    static bool started;
    if (started)
        return;
    started = true;
    EnsureRuntimeHeaps();
    InstanceHandle = GetModuleHandleA(nullptr);
    WindowInit();
    GadgetInit();
    GuiInit();
}

// Serves what is waiting without reporting it, and forgets queued events.
inline void DrainEvents()
{
    EventPumpPending();
    while (Events()->queueHead)
        EventWait(0);
}

// The codes in the event queue, oldest first, without taking them.
inline std::vector<int> QueuedEvents()
{
    std::vector<int> codes;
    for (EventQueueNode* n = Events()->queueHead; n; n = n->next)
        codes.push_back(n->code);
    return codes;
}
