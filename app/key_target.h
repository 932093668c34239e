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

// Lets go of held keys when a window of the runtime becomes active or
// enters a modal move, size or menu loop: the main loop does not run until
// that loop ends, so nothing else would let them go. Installed as the
// thread's window callback, it leaves every message to the library.
LRESULT KeyTargetWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
