// Watches the keyboard events injected into the system input stream with a
// low-level keyboard hook and with raw input, served by a thread of its
// own, and as the key messages that the game window (game_window.h)
// receives, which the caller puts in front of Keyvane as a player would.
// The hook lets every key on to the window in front (suites that use it are
// DESKTOP suites).
#pragma once

#include <windows.h>

#include <iosfwd>
#include <vector>

#include "harness/game_window.h"

// An injected event, told as the keybd_event call that made it.
struct KeyEvent {
    BYTE vk;
    BYTE scan;
    DWORD flags;  // KEYEVENTF_EXTENDEDKEY and KEYEVENTF_KEYUP
    ULONG_PTR extraInfo;
    // As the reader saw it; not compared.
    DWORD hookFlags = 0;  // LLKHF_* from the hook, RI_KEY_* from raw input, lParam of a key message
    DWORD time = 0;       // milliseconds, the system clock
};

bool operator==(const KeyEvent& a, const KeyEvent& b);

// The events the key mapping injects: a keyboard's own scan code, the
// arrows with the extended flag, the same on key-down and key-up, and
// Keyvane's tag as the extra information.
KeyEvent Down(BYTE vk);
KeyEvent Up(BYTE vk);
void PrintTo(const KeyEvent& event, std::ostream* out);

// Installs the hook and opens the game window (not yet in front), and with
// rawInput registers for raw input too; false when the system refuses any. (Under Wine, with raw input registered,
// the hostile-message suite's last marker never came through; why is not
// known, so only the suites that read raw input register for it.)
bool KeyObserverStart(bool rawInput = false);
void KeyObserverStop();

// The events injected since the last call, oldest first, as the hook saw
// them; as raw input (RIDEV_INPUTSINK) delivered them when rawInput is
// given and the observer watches it (under Wine, raw input comes only while
// a window has the foreground); and as WM_KEYDOWN and WM_KEYUP reached the
// game window when game is given (the scan code and extended bit of lParam;
// the game must be in front). It first waits until each asked for has seen
// all injected before the call, so an empty result means nothing was.
// Has the hook hold the next key-down this long before letting it on, as a
// slow hook of another program would (the window it reaches is chosen
// after); returns once the hook holds one, false if none came.
bool KeyObserverHoldKeyDown(DWORD ms);

std::vector<KeyEvent> KeyObserverTake(std::vector<KeyEvent>* rawInput = nullptr,
                                      std::vector<KeyEvent>* game = nullptr);
