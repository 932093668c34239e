// The test's side of a remote pad block (remote_pad.h): it makes the block,
// hands its name to the processes the test starts, plugs pads in, moves and
// breaks them, and reads back the DirectInput calls those processes made.
//
// The started program loads our dinput.dll (WINEDLLOVERRIDES=dinput=n, which
// it inherits from the test) and, holding no simulation of its own, gets its
// DirectInput from the block.
#pragma once

#include <vector>

#include "tests/support/remote_pad.h"

struct RemotePadDriver {
    HANDLE mapping;
    RemotePadBlock* block;
    char name[64];
    LONG logCursor;                      // the next record to read
    std::vector<RemotePadRecord> log;    // every record read so far, oldest first
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
// sets KEYVANE_PAD to it for the processes started from now on. False when
// the block cannot be made.
bool RemotePadCreate(RemotePadDriver& driver);
void RemotePadDestroy(RemotePadDriver& driver);

// Plugs in a new pad behind the ones already attached: its number, or -1
// when the block holds no more. Pads enumerate in that order.
int RemotePadPlug(RemotePadDriver& driver, const RemotePadFaults& faults = RemotePadFaults());
// The pad is no longer enumerated, and its devices' reads fail.
void RemotePadUnplug(RemotePadDriver& driver, int pad);

void RemotePadSetAxes(RemotePadDriver& driver, int pad, LONG x, LONG y);
void RemotePadSetButton(RemotePadDriver& driver, int pad, int button, bool pressed);  // button 1 to 32

// The pad's next that many GetDeviceState calls fail with DIERR_INPUTLOST
// and lose the acquisition.
void RemotePadFailReads(RemotePadDriver& driver, int pad, int count);
// DirectInputCreateEx leaves the pointer null.
void RemotePadSetCreateFails(RemotePadDriver& driver, bool fails);
// EnumDevices enumerates nothing and returns result; DI_OK restores it.
void RemotePadSetEnumResult(RemotePadDriver& driver, HRESULT result);

// Appends the records logged since the last call to driver.log; read often
// enough, the log misses nothing (see driver.missed).
const std::vector<RemotePadRecord>& RemotePadReadLog(RemotePadDriver& driver);
// Calls of that kind ever made, on any pad.
LONG RemotePadCount(RemotePadDriver& driver, RemoteCall call);
// References held on the DirectInput objects, and on a pad's devices.
LONG RemotePadDirectInputRefs(RemotePadDriver& driver);
LONG RemotePadDeviceRefs(RemotePadDriver& driver, int pad);

// What pad_probe has reported, read word by word.
RemotePadProbe RemotePadReadProbe(RemotePadDriver& driver);
// Asks pad_probe to end its loop, release everything and exit.
void RemotePadStopProbe(RemotePadDriver& driver);
