#include "app/main_loop.h"

#include <windows.h>

#include <algorithm>

#include "app/actions.h"
#include "app/key_mapping.h"
#include "app/key_target.h"
#include "app/main_window.h"
#include "app/timer_resolution.h"
#include "runtime/gadget/gadget.h"
#include "runtime/window/events.h"

int32_t eventCode;
int32_t quitRequested;
intptr_t eventGadget;

namespace {

// The poll interval: a pass waits at most this long for an event, and
// polls once this long has passed since the last poll, whatever it got.
constexpr int PassTimeout = 10;
constexpr LONGLONG PollIntervalUs = PassTimeout * 1000;

// The performance counter's rate, fixed at boot: read once, before the
// first pass.
LONGLONG ticksPerSecond;
// When the pad was last polled, in performance-counter ticks.
LONGLONG lastPollTicks;

LONGLONG Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Microseconds since the last poll, as whole seconds and the rest: where
// the counter runs at the processor's clock, ticks times a million would
// overflow within an hour without a poll (a help box left open).
LONGLONG MicrosecondsSinceLastPoll()
{
    const LONGLONG ticks = Ticks() - lastPollTicks;
    return ticks / ticksPerSecond * 1000000 + ticks % ticksPerSecond * 1000000 / ticksPerSecond;
}

// A stream of messages must neither starve the pad nor poll it faster.
// Under Wine a cursor resting on a themed button brings a WM_SYSTIMER every
// 10 ms (the button's mouse tracking), and a message sent from another
// process is served inside the wait, which then returns no event: so only
// the time since the last poll decides, and the wait ends when the next
// poll is due, rounded up so that it does not end a fraction early and
// cost a pass of its own.
bool PollDue()
{
    return MicrosecondsSinceLastPoll() >= PollIntervalUs;
}

int PassWait()
{
    const LONGLONG left = PollIntervalUs - MicrosecondsSinceLastPoll();
    return left <= 0 ? 0 : static_cast<int>(std::min<LONGLONG>((left + 999) / 1000, PassTimeout));
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
    if (eventGadget != HelpButton && eventGadget != PurchaseButton)
        return;
    // Both block the loop, the help box until it is closed and the shell
    // for as long as it takes to open the page: nothing would release a
    // held key meanwhile.
    KeyMappingReleaseHeld();
    if (eventGadget == HelpButton)
        HelpAction();
    else
        PurchaseAction();
}

}  // namespace

void MainLoopPass()
{
    eventCode = EventWait(PassWait());
    if (eventCode == CloseEvent)
        quitRequested = 1;
    if (eventCode == GadgetEvent)
        GadgetPass();
    if (!quitRequested && PollDue())
        PollPass();
}

void MainLoop()
{
    KeyTargetBegin();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond = frequency.QuadPart;
    // The first pass polls at once.
    lastPollTicks = Ticks() - ticksPerSecond * PassTimeout / 1000;
    TimerResolutionBegin();
    do
        MainLoopPass();
    while (!quitRequested);
    TimerResolutionEnd();
    KeyMappingReleaseHeld();
    KeyTargetEnd();
}
