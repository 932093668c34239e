// The controls and records of the simulated DirectInput that tests use.
#include "tests/support/sim_pad.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/sim_pad_state.h"

SimWorld& World()
{
    // Never destroyed: dinput_shim may still call in while the process ends.
    static SimWorld* world = new SimWorld();
    return *world;
}

HRESULT SimLogged(SimCall call, int pad, HRESULT result)
{
    World().log.push_back({call, pad, result});
    return result;
}

void PrintTo(SimCall call, std::ostream* out)
{
    static const char* const names[] = {
        "DirectInputCreateEx", "EnumDevices", "CreateDevice", "CreateDeviceEx", "DirectInputRelease",
        "SetDataFormat", "SetProperty", "GetProperty", "SetCooperativeLevel", "Acquire",
        "Unacquire", "Poll", "GetDeviceState", "DeviceRelease", "Other",
    };
    *out << names[static_cast<int>(call)];
}

int SimPadPlug(const SimPadFaults& faults)
{
    SimWorld& world = World();
    int pad = static_cast<int>(world.pads.size());
    SimPad added = {};
    added.faults = faults;
    added.attached = true;
    added.instance = {0x4B560100u + static_cast<unsigned>(pad), 0x5041, 0x4400, {'S', 'I', 'M', 'P', 'A', 'D', 0, 0}};
    world.pads.push_back(added);
    return pad;
}

void SimPadUnplug(int pad)
{
    World().pads.at(pad).attached = false;
    for (SimDevice* device : World().devices)
        if (SimDeviceRecordOf(device).pad == pad)
            SimDeviceLoseAcquisition(device);
}

void SimPadUnplugAll()
{
    for (size_t pad = 0; pad < World().pads.size(); ++pad)
        SimPadUnplug(static_cast<int>(pad));
}

DIJOYSTATE& SimPadState(int pad)
{
    return World().pads.at(pad).state;
}

void SimPadSetAxes(int pad, LONG x, LONG y)
{
    SimPadState(pad).lX = x;
    SimPadState(pad).lY = y;
}

void SimPadSetButton(int pad, int button, bool pressed)
{
    SimPadState(pad).rgbButtons[button - 1] = pressed ? 0x80 : 0x00;
}

void SimPadLoseAcquisition(int pad)
{
    for (SimDevice* device : World().devices)
        if (SimDeviceRecordOf(device).pad == pad)
            SimDeviceLoseAcquisition(device);
}

std::vector<const SimDeviceRecord*> SimPadDevices(int pad)
{
    std::vector<const SimDeviceRecord*> records;
    for (SimDevice* device : World().devices)
        if (SimDeviceRecordOf(device).pad == pad)
            records.push_back(&SimDeviceRecordOf(device));
    return records;
}

const SimDeviceRecord& SimPadDevice(int pad)
{
    std::vector<const SimDeviceRecord*> records = SimPadDevices(pad);
    if (records.empty()) {
        ADD_FAILURE() << "no DirectInput device was created for pad " << pad;
        static const SimDeviceRecord none = {};
        return none;
    }
    return *records.back();
}

void SimPadSetModuleLoadable(bool loadable)
{
    World().moduleLoadable = loadable;
}

void SimPadSetCreateSucceeds(bool succeeds)
{
    World().createSucceeds = succeeds;
}

void SimPadSetEnumFailure(int afterDevices, HRESULT result)
{
    World().enumFailAfter = afterDevices < 0 ? -1 : afterDevices;
    World().enumFailResult = afterDevices < 0 ? DI_OK : result;
}

const SimDirectInputRecord& SimDirectInput()
{
    return World().directInput;
}

const std::vector<SimCallRecord>& SimPadLog()
{
    return World().log;
}

std::vector<SimCall> SimPadCalls(int pad)
{
    std::vector<SimCall> calls;
    for (const SimCallRecord& record : World().log)
        if (record.pad == pad)
            calls.push_back(record.call);
    return calls;
}

void SimPadClearLog()
{
    World().log.clear();
}
