// Watches the keyboard events injected into the system input stream with a
// low-level keyboard hook and with raw input, on a thread of its own. While
// it watches, injected events are taken out of the stream and reach no
// window, so that the keys a test presses change nothing on the shared
// desktop (suites that use it are DESKTOP suites).
#pragma once

#include <windows.h>

#include <iosfwd>
#include <vector>

// An injected event, told as the keybd_event call that made it.
struct KeyEvent {
    BYTE vk;
    BYTE scan;
    DWORD flags;  // KEYEVENTF_EXTENDEDKEY and KEYEVENTF_KEYUP
    ULONG_PTR extraInfo;
    // As the reader saw it; not compared.
    DWORD hookFlags = 0;  // LLKHF_* from the hook, RI_KEY_* from raw input
    DWORD time = 0;       // milliseconds, the system clock
};

bool operator==(const KeyEvent& a, const KeyEvent& b);

// The events the key mapping injects: a keyboard's own scan code, the
// arrows with the extended flag, the same on key-down and key-up.
KeyEvent Down(BYTE vk);
KeyEvent Up(BYTE vk);
void PrintTo(const KeyEvent& event, std::ostream* out);

// Installs the hook, and with rawInput registers for raw input too; false
// when the system refuses either. (Under Wine, with raw input registered,
// the hostile-message suite's last marker never came through; why is not
// known, so only the suites that read raw input register for it.)
bool KeyObserverStart(bool rawInput = false);
void KeyObserverStop();

// The events injected since the last call, oldest first, as the hook saw
// them, and as raw input (RIDEV_INPUTSINK) delivered them when rawInput is
// given and the observer watches it (under Wine, raw input comes only while
// a window has the foreground). It first waits until they have seen all
// injected before the call, so an empty result means nothing was injected.
std::vector<KeyEvent> KeyObserverTake(std::vector<KeyEvent>* rawInput = nullptr);
