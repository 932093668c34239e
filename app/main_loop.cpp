#include "app/main_loop.h"

#include "app/actions.h"
#include "app/key_mapping.h"
#include "app/main_window.h"
#include "runtime/gadget/gadget.h"
#include "runtime/window/events.h"

int32_t eventCode;
int32_t quitRequested;
intptr_t eventGadget;

namespace {

// The poll interval: each idle pass ends after this wait.
constexpr int PassTimeout = 10;

void IdlePass()
{
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
    if (eventCode == NoEvent)
        IdlePass();
    else if (eventCode == GadgetEvent)
        GadgetPass();
}

void MainLoop()
{
    do
        MainLoopPass();
    while (!quitRequested);
    KeyMappingReleaseHeld();
}
