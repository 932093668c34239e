#include "harness/keyvane_launch.h"

#include "harness/key_observer.h"

const char* KeyvaneLaunch(KeyvaneProcess& program, RemotePadDriver& pads, const char* name)
{
    if (!ProgramStart(program, name))
        return "the program did not start";
    if (!KeyvaneWaitWindow(program))
        return RemotePadMissing;
    if (!GameToFront())
        return "the game window did not get the foreground";
    if (!RemotePadWaitReads(pads, SettlePolls))
        return "the program does not poll the pad";
    KeyObserverTake();
    return nullptr;
}
