// A simulated DirectInput 7 with game pads that a test plugs in, moves and
// breaks, and that records every call made on it.
//
// The joystick library loads "DINPUT.DLL" itself; under the tests that is
// dinput_shim (our own dinput.dll beside the test programs, chosen with
// WINEDLLOVERRIDES=dinput=n), which hands DirectInputCreateEx to the
// simulation compiled into the test program. Everything runs on the test's
// thread.
#pragma once

#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

#include <cstdint>
#include <iosfwd>
#include <vector>

// The DirectInput calls the simulation tells apart.
enum class SimCall {
    DirectInputCreateEx,
    EnumDevices,
    CreateDevice,
    CreateDeviceEx,
    DirectInputRelease,
    SetDataFormat,
    SetProperty,
    GetProperty,
    SetCooperativeLevel,
    Acquire,
    Unacquire,
    Poll,
    GetDeviceState,
    DeviceRelease,
    Other,  // anything the library has no business calling
};

// Lets GoogleTest print calls by name.
void PrintTo(SimCall call, std::ostream* out);

struct SimCallRecord {
    SimCall call;
    int pad;  // the pad whose device was called; -1 for DirectInput itself
    HRESULT result;
};

// What a pad's set-up steps answer; anything but DI_OK fails that step.
struct SimPadFaults {
    HRESULT createDevice = DI_OK;
    HRESULT setDataFormat = DI_OK;
    HRESULT setRangeX = DI_OK;
    HRESULT setRangeY = DI_OK;
};

// One SetProperty call.
struct SimPropertyRecord {
    uintptr_t property;  // the MAKEDIPROP number, e.g. 4 for DIPROP_RANGE
    DIPROPHEADER header;
    LONG min;  // for DIPROP_RANGE only
    LONG max;
    HRESULT result;
};

// A deep copy of a data format handed to SetDataFormat.
struct SimDataFormat {
    DIDATAFORMAT header;
    std::vector<DIOBJECTDATAFORMAT> objects;  // pguid points into guids
    std::vector<GUID> guids;                  // GUID_NULL where pguid was null
    std::vector<bool> hasGuid;
};

// One device object handed out by CreateDevice(Ex). Kept after its last
// Release so that tests can look at it.
struct SimDeviceRecord {
    int pad;
    LONG refs;
    bool acquired;
    bool formatSet;
    SimDataFormat format;
    std::vector<SimPropertyRecord> properties;
    std::vector<DWORD> stateSizes;              // cbData of every GetDeviceState
};

struct SimEnumRecord {
    DWORD devType;
    DWORD flags;
    void* context;
    std::vector<BOOL> callbackResults;
};

// DirectInput itself, as the library has used it so far in this process.
struct SimDirectInputRecord {
    int moduleLoads;  // attempts to load dinput.dll, refused ones included
    int createCalls;
    HINSTANCE instance;  // arguments of the last DirectInputCreateEx
    DWORD version;
    IID iid;
    bool outerGiven;
    IDirectInput7A* object;  // what the last creation handed out, or null
    LONG refs;               // of that object
    std::vector<SimEnumRecord> enumerations;
};

// Plugs in a new pad behind the ones already attached; its number for the
// calls below. Pads enumerate in the order in which they were plugged in.
int SimPadPlug(const SimPadFaults& faults = SimPadFaults());
// The pad stops answering: reads and Acquire fail, and it is no longer
// enumerated. Numbers are never reused.
void SimPadUnplug(int pad);
void SimPadUnplugAll();

// What the pad's next GetDeviceState reports; all zero when plugged in.
DIJOYSTATE& SimPadState(int pad);
void SimPadSetAxes(int pad, LONG x, LONG y);
void SimPadSetButton(int pad, int button, bool pressed);  // button 1 to 32

// The pad's devices lose their acquisition: GetDeviceState fails until the
// next Acquire.
void SimPadLoseAcquisition(int pad);

// Devices created for the pad, oldest first.
std::vector<const SimDeviceRecord*> SimPadDevices(int pad);
// The pad's newest device; fails the calling test when there is none.
const SimDeviceRecord& SimPadDevice(int pad);

// Whether dinput.dll may load (its DllMain refuses otherwise), and whether
// DirectInputCreateEx yields an object. Both hold from the next attempt.
void SimPadSetModuleLoadable(bool loadable);
void SimPadSetCreateSucceeds(bool succeeds);
// EnumDevices stops after that many devices and returns result; a negative
// count restores a complete enumeration that returns DI_OK.
void SimPadSetEnumFailure(int afterDevices, HRESULT result);

const SimDirectInputRecord& SimDirectInput();

// Every call since the last SimPadClearLog, in order.
const std::vector<SimCallRecord>& SimPadLog();
// The calls made on one pad's devices since the last SimPadClearLog.
std::vector<SimCall> SimPadCalls(int pad);
void SimPadClearLog();
