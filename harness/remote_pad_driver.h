// The test's side of the pad block (remote_pad.h): it makes the block, puts
// its name in KEYVANE_PAD, plugs pads in, moves and breaks them, and reads
// back the DirectInput calls made on them.
//
// A program that loads our dinput.dll (WINEDLLOVERRIDES=dinput=n) gets its
// DirectInput from the block: the test program itself, when it makes the
// block before the joystick library first loads the DLL, and the programs
// it starts afterwards, which inherit both variables.
#pragma once

#include <cstring>
#include <string>

#include "harness/remote_pad.h"

// What a test says when the program finds no simulated pad.
constexpr char RemotePadMissing[] = "is dinput.dll in the prefix's system32 and WINEDLLOVERRIDES=dinput=n set?";

struct RemotePadDriver {
    HANDLE mapping;
    RemotePadBlock* block;
    char name[64];   // of the block: what KEYVANE_PAD says
    LONG logCursor;  // the first call RemotePadCalls tells
};

// Makes a fresh block under a name unique to this process and call, and
// sets KEYVANE_PAD to it. False when the block cannot be made.
bool RemotePadCreate(RemotePadDriver& driver);
void RemotePadDestroy(RemotePadDriver& driver);

// Plugs in a new pad behind the ones already plugged in: its number, or -1
// when the block holds no more. Pads enumerate in that order.
int RemotePadPlug(RemotePadDriver& driver, const RemotePadFaults& faults = RemotePadFaults());
// The pad is no longer enumerated, and its devices' reads fail. Numbers are
// never reused.
void RemotePadUnplug(RemotePadDriver& driver, int pad);
void RemotePadUnplugAll(RemotePadDriver& driver);

// What the pad's devices read from now on; all zero when plugged in.
void RemotePadSetState(RemotePadDriver& driver, int pad, const DIJOYSTATE& state);
void RemotePadSetAxes(RemotePadDriver& driver, int pad, LONG x, LONG y);
void RemotePadSetButton(RemotePadDriver& driver, int pad, int button, bool pressed);  // button 1 to 32

// The pad's next that many GetDeviceState calls fail with DIERR_INPUTLOST
// and lose the acquisition.
void RemotePadFailReads(RemotePadDriver& driver, int pad, int count);
// The pad's next GetDeviceState call raises an access violation in the
// reader's process: in the reading thread, or in a new thread while the
// read itself succeeds.
void RemotePadCrashRead(RemotePadDriver& driver, int pad, RemotePadCrash how = RemotePadCrashInRead);
// GetDeviceState calls made so far on any pad.
LONG RemotePadReads(RemotePadDriver& driver);
// Waits until count more GetDeviceState calls have been made on any pad
// (one per poll of a program that reads one pad); false after timeoutMs.
bool RemotePadWaitReads(RemotePadDriver& driver, int count, DWORD timeoutMs = 5000);

// The timer and power-throttling requests of the programs that created
// DirectInput from the block, each with the reads made on any pad before
// it: "timeBeginPeriod(1) @0 power throttling {1, 0x5, 0} @0 ...".
inline std::string RemotePadTimerCalls(RemotePadDriver& driver)
{
    return std::string(driver.block->timerCalls, strnlen(driver.block->timerCalls, sizeof driver.block->timerCalls));
}

// DirectInputCreateEx leaves the pointer null.
void RemotePadSetCreateFails(RemotePadDriver& driver, bool fails);
// EnumDevices offers afterPads pads and returns result; DI_OK restores a
// complete enumeration.
void RemotePadSetEnumResult(RemotePadDriver& driver, HRESULT result, int afterPads = 0);

// Forgets every call made so far.
void RemotePadClearLog(RemotePadDriver& driver);
// The calls since the last RemotePadClearLog, separated by spaces: all of
// them as "Name", "#pad" for a device call and "!" when the call failed, or
// those on one pad's devices (-1: on DirectInput itself) as "Name" and "!".
// For calls made in this process: another's may still be being written.
constexpr int RemotePadAllCalls = -2;
std::string RemotePadCalls(RemotePadDriver& driver, int pad = RemotePadAllCalls);
