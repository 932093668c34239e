// When injected keys reach the system, by QueryPerformanceCounter: a
// low-level keyboard hook on a thread of its own stamps each injected event
// and takes it out of the stream, so the bench's keys reach no window.
#pragma once

#include <windows.h>

// Installs the hook and waits until an injected key comes through (Wine can
// drop the first ones); false when that fails.
bool KeyStampsStart();
void KeyStampsStop();

// Forgets the events seen so far.
void KeyStampsClear();
// The stamp of the next event of vk (a key-up when up) seen after the last
// clear or wait, stamped after since; 0 after timeoutMs.
long long KeyStampsWait(BYTE vk, bool up, long long since, DWORD timeoutMs);
// The same, leaving the other events for later waits.
long long KeyStampsPeek(BYTE vk, bool up, long long since, DWORD timeoutMs);
