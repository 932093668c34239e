// Watches the keyboard events injected into the system input stream with a
// low-level keyboard hook on a thread of its own. While it watches, injected
// events are taken out of the stream and reach no window, so that the keys a
// test presses change nothing on the shared desktop (suites that use it are
// DESKTOP suites).
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
    // As the hook saw it; not compared.
    DWORD hookFlags = 0;  // LLKHF_INJECTED, LLKHF_EXTENDED, LLKHF_UP
    DWORD time = 0;       // milliseconds, the system clock
};

bool operator==(const KeyEvent& a, const KeyEvent& b);

// The events the key mapping injects: an arrow key-down, any key-up, and
// Space's key-down with scan code 0x20 and the extended flag.
inline KeyEvent Down(BYTE vk)
{
    return {vk, 0, 0, 0};
}
inline KeyEvent Up(BYTE vk)
{
    return {vk, 0, KEYEVENTF_KEYUP, 0};
}
const KeyEvent SpaceDown = {VK_SPACE, 0x20, KEYEVENTF_EXTENDEDKEY, 0};
void PrintTo(const KeyEvent& event, std::ostream* out);

// Installs the hook; false when the system refuses it.
bool KeyObserverStart();
void KeyObserverStop();

// The events injected since the last call, oldest first. It first waits
// until the input stream has delivered everything injected before the call,
// so that an empty result means that nothing was injected.
std::vector<KeyEvent> KeyObserverTake();
