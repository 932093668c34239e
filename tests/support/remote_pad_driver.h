// The test's side of the pad block (remote_pad.h): it makes the block, puts
// its name in KEYVANE_PAD, plugs pads in, moves and breaks them, and reads
// back the DirectInput calls made on them.
//
// A program that loads our dinput.dll (WINEDLLOVERRIDES=dinput=n) gets its
// DirectInput from the block: the test program itself, when it makes the
// block before the joystick library first loads the DLL, and the programs
// it starts afterwards, which inherit both variables. The records of what
// the calls were handed are read from driver.block.
#pragma once

#include <string>
#include <vector>

#include "tests/support/remote_pad.h"

struct RemotePadDriver {
    HANDLE mapping;
    RemotePadBlock* block;
    char name[64];
    LONG logCursor;                      // the next record to read
    std::vector<RemotePadRecord> log;    // the records read since the last RemotePadClearLog
    int missed;                          // records overwritten before they were read
};

// What a pad's set-up steps answer; anything but DI_OK fails that step.
struct RemotePadFaults {
    HRESULT createDevice = DI_OK;
    HRESULT setDataFormat = DI_OK;
    HRESULT setRangeX = DI_OK;
    HRESULT setRangeY = DI_OK;
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
// Waits until count more GetDeviceState calls have been made on any pad
// (one per poll of a program that reads one pad); false after timeoutMs.
bool RemotePadWaitReads(RemotePadDriver& driver, int count, DWORD timeoutMs = 5000);
// GetDeviceState calls made so far on any pad.
LONG RemotePadReads(RemotePadDriver& driver);

// DirectInputCreateEx leaves the pointer null.
void RemotePadSetCreateFails(RemotePadDriver& driver, bool fails);
// EnumDevices offers afterPads pads and returns result; DI_OK restores a
// complete enumeration.
void RemotePadSetEnumResult(RemotePadDriver& driver, HRESULT result, int afterPads = 0);

// Appends the records logged since the last call to driver.log; read often
// enough, the log misses nothing (see driver.missed).
const std::vector<RemotePadRecord>& RemotePadReadLog(RemotePadDriver& driver);
// Forgets every call made so far.
void RemotePadClearLog(RemotePadDriver& driver);
// The calls since the last RemotePadClearLog, separated by spaces: all of
// them as "Name", "#pad" for a device call and "!" when the call failed, or
// those on one pad's devices (-1: on DirectInput itself) as "Name" and "!".
constexpr int RemotePadAllCalls = -2;
std::string RemotePadCalls(RemotePadDriver& driver, int pad = RemotePadAllCalls);

