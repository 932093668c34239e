// The joystick library's whole life in one process: nothing before
// JoystickInit, DirectInput opened by it, everything released and unloaded
// by JoystickEndAll. The steps depend on each other, so they run as one test.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/sim_pad.h"

namespace {

bool DirectInputLoaded()
{
    return GetModuleHandleA("DINPUT.DLL") != nullptr;
}

TEST(JoystickLifecycleTest, EndAllReleasesDevicesAndDirectInputAndUnloadsIt)
{
    EnsureJoystickRuntime();
    int first = SimPadPlug();
    int second = SimPadPlug();

    // Unopened: ending does nothing.
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_EQ(SimDirectInput().moduleLoads, 0);
    EXPECT_TRUE(SimPadLog().empty());
    EXPECT_FALSE(DirectInputLoaded());

    ASSERT_EQ(JoystickInit(), 2);
    ASSERT_EQ(SimDirectInput().createCalls, 1)
        << "DirectInput did not come from the simulation: is dinput.dll beside the test and "
           "WINEDLLOVERRIDES=dinput=n set?";
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_TRUE(DirectInputLoaded());

    SimPadClearLog();
    JoystickEndAll();

    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_EQ(SimPadDevice(first).refs, 0);
    EXPECT_EQ(SimPadDevice(second).refs, 0);
    EXPECT_EQ(SimDirectInput().refs, 0);
    // Devices go without Unacquire, and before DirectInput itself.
    std::vector<SimCall> calls;
    for (const SimCallRecord& record : SimPadLog())
        calls.push_back(record.call);
    EXPECT_EQ(calls, (std::vector<SimCall>{SimCall::DeviceRelease, SimCall::DeviceRelease,
                                           SimCall::DirectInputRelease}));
    EXPECT_FALSE(DirectInputLoaded());
}

}  // namespace
