#include "app/main_loop.h"

#include <windows.h>

#include "app/actions.h"
#include "app/key_mapping.h"
#include "app/key_target.h"
#include "app/main_window.h"
#include "runtime/gadget/gadget.h"
#include "runtime/window/events.h"

int32_t eventCode;
int32_t quitRequested;
intptr_t eventGadget;

namespace {

// The poll interval: a pass waits at most this long for an event, and one
// that got an event polls too once this long has passed since the last poll.
constexpr int PassTimeout = 10;

// When the pad was last polled, in performance-counter ticks.
LONGLONG lastPollTicks;

LONGLONG Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Whole milliseconds since the last poll.
LONGLONG MsSinceLastPoll()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (Ticks() - lastPollTicks) * 1000 / frequency.QuadPart;
}

// A stream of messages must not starve the pad. Under Wine a cursor resting
// on a themed button brings a WM_SYSTIMER every 10 ms (the button's mouse
// tracking), so every wait would end in a message; the wait therefore ends
// when the next poll is due, and a pass past that time polls whatever it got.
int PassWait()
{
    const LONGLONG left = PassTimeout - MsSinceLastPoll();
    return static_cast<int>(left < 0 ? 0 : left > PassTimeout ? PassTimeout : left);
}

void PollPass()
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
        // The shell may take seconds to open the page, with the loop blocked.
        KeyMappingReleaseHeld();
        PurchaseAction();
    }
}

}  // namespace

void MainLoopPass()
{
    eventCode = EventWait(PassWait());
    if (eventCode == CloseEvent)
        quitRequested = 1;
    if (eventCode == GadgetEvent)
        GadgetPass();
    if (!quitRequested && (eventCode == NoEvent || MsSinceLastPoll() >= PassTimeout))
        PollPass();
}

void MainLoop()
{
    EventSetThreadWindowCallback(KeyTargetWindowCallback);
    do
        MainLoopPass();
    while (!quitRequested);
    KeyMappingReleaseHeld();
}
