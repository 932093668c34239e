// The simulation's own state, shared by its DirectInput object, its device
// objects and the controls the tests use.
#pragma once

#include <deque>

#include "tests/support/sim_pad.h"

// The published interface ids, written out here so that nothing checks the
// library against its own copies.
namespace sim_iid {
constexpr GUID Unknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID DirectInputA = {0x89521360, 0xAA8A, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID DirectInput2A = {0x5944E662, 0xAA8A, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID DirectInput7A = {0x9A4CB684, 0x236D, 0x11D3, {0x8E, 0x9D, 0x00, 0xC0, 0x4F, 0x68, 0x44, 0xAE}};
constexpr GUID DeviceA = {0x5944E680, 0xC92E, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID Device2A = {0x5944E682, 0xC92E, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID Device7A = {0x57D7C6BC, 0x2356, 0x11D3, {0x8E, 0x9D, 0x00, 0xC0, 0x4F, 0x68, 0x44, 0xAE}};
}  // namespace sim_iid

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
