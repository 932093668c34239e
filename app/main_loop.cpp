#include "app/main_loop.h"

#include <windows.h>

#include "app/actions.h"
#include "app/key_mapping.h"
#include "app/main_window.h"
#include "runtime/gadget/gadget.h"
#include "runtime/window/events.h"

int32_t eventCode;
int32_t quitRequested;
intptr_t eventGadget;

namespace {

// The poll interval: each idle pass ends after this wait, and a pass that
// got an event polls too once this long has passed since the last poll.
constexpr int PassTimeout = 10;
constexpr LONGLONG PollIntervalMs = PassTimeout;

// When the pad was last polled, in performance-counter ticks.
LONGLONG lastPollTicks;

LONGLONG Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// A stream of messages must not starve the pad: a cursor resting on a
// themed button under Wine, for one, brings a message on every pass.
bool PollDue()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (Ticks() - lastPollTicks) * 1000 >= PollIntervalMs * frequency.QuadPart;
}

void IdlePass()
{
    lastPollTicks = Ticks();
    // A suspended mapping must not leave keys down: the first suspended
    // pass lets go of what is held, later ones find nothing to release.
    if (GadgetGetState(SuspendCheckBox) == 1)
        KeyMappingReleaseHeld();
    else
        KeyMappingPoll();
}

void GadgetPass()
{
    eventGadget = EventSourceGadget();
    if (eventGadget == HelpButton) {
        // The box blocks the loop: nothing would release a held key.
        KeyMappingReleaseHeld();
        HelpAction();
    } else if (eventGadget == PurchaseButton) {
        PurchaseAction();
    }
}

}  // namespace

void MainLoopPass()
{
    eventCode = EventWait(PassTimeout);
    if (eventCode == CloseEvent)
        quitRequested = 1;
    if (eventCode == GadgetEvent)
        GadgetPass();
    if (!quitRequested && (eventCode == NoEvent || PollDue()))
        IdlePass();
}

void MainLoop()
{
    do
        MainLoopPass();
    while (!quitRequested);
    KeyMappingReleaseHeld();
}
