// The simulation's own state, shared by its DirectInput object, its device
// objects and the controls the tests use.
#pragma once

#include <deque>

#include "tests/support/dinput_ids.h"
#include "tests/support/sim_pad.h"

// The MAKEDIPROP number of DIPROP_RANGE.
constexpr uintptr_t SimPropRange = 4;

struct SimPad {
    SimPadFaults faults;
    bool attached;
    DIJOYSTATE state;
    GUID instance;
};

struct SimDevice;
struct SimDirectInputObject;

struct SimWorld {
    std::deque<SimPad> pads;  // numbers never reused
    // Device and DirectInput objects are never freed, so that a call
    // through a released pointer is caught rather than crashing.
    std::deque<SimDevice*> devices;
    std::deque<SimDirectInputObject*> objects;
    SimDirectInputRecord directInput;
    std::vector<SimCallRecord> log;
    bool moduleLoadable = true;
    bool createSucceeds = true;
    int enumFailAfter = -1;
    HRESULT enumFailResult = DI_OK;
};

SimWorld& World();

HRESULT SimLogged(SimCall call, int pad, HRESULT result);

// A new device object for the pad, with one reference.
IDirectInputDevice7A* SimDeviceNew(int pad);
SimDeviceRecord& SimDeviceRecordOf(SimDevice* device);
// GetDeviceState fails (DIERR_INPUTLOST first) until the next Acquire.
void SimDeviceLoseAcquisition(SimDevice* device);
