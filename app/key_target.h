// Where the pad's keys may go: to another program's window, which is where
// a game is. Keyvane's own windows take none, nor does a Keyvane that has
// crashed on any thread.
#pragma once

#include <windows.h>

// Called first thing by the crash filter, on whichever thread faulted;
// from then on no key is pressed. True only for the first call.
bool KeyTargetMarkCrashed();
bool KeyTargetCrashed();

// Keys may be pressed now: no crash, and the foreground window belongs to
// another program, not to this one (the main window, the help box, the
// system menu, any window the runtime opened).
bool KeyTargetIsGame();

// Every key Keyvane injects carries this as its extra information
// (dwExtraInfo, GetMessageExtraInfo): by it Keyvane's windows tell the
// pad's keys from a keyboard's. ("KEYV")
constexpr ULONG_PTR InjectedKeyTag = 0x4B455956;

// For the loop's life, on its thread:
// - held keys are let go when a window of the runtime becomes active or
//   enters a modal move, size or menu loop: the main loop does not run until
//   that loop ends, so nothing else would let them go;
// - key messages carrying InjectedKeyTag are dropped before any loop of the
//   thread sees them, the main loop's, a message box's or a menu's. A
//   key-down still on its way as Keyvane's window came to the front lands
//   there, and the key-up that lets it go follows: Space would click the
//   gadget that has the focus.
void KeyTargetBegin();
void KeyTargetEnd();
