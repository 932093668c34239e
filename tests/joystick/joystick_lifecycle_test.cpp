// The joystick library's whole life in one process: nothing before
// JoystickInit, DirectInput opened by it, everything released and unloaded
// by JoystickEndAll. The steps depend on each other, so they run as one test.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad_driver.h"

namespace {

bool DirectInputLoaded()
{
    return GetModuleHandleA("DINPUT.DLL") != nullptr;
}

TEST(JoystickLifecycleTest, EndAllReleasesDevicesAndDirectInputAndUnloadsIt)
{
    EnsureJoystickRuntime();
    RemotePadDriver pads = {};
    ASSERT_TRUE(RemotePadCreate(pads));
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);

    // Unopened: ending does nothing.
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_FALSE(DirectInputLoaded());

    ASSERT_EQ(JoystickInit(), 2) << "is dinput.dll beside the test and WINEDLLOVERRIDES=dinput=n set?";
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_TRUE(DirectInputLoaded());

    RemotePadClearLog(pads);
    JoystickEndAll();

    // Devices go without Unacquire, and before DirectInput itself.
    EXPECT_EQ(RemotePadCalls(pads), "DeviceRelease#" + std::to_string(first) + " DeviceRelease#" +
                                        std::to_string(second) + " DirectInputRelease");
    EXPECT_EQ(pads.block->devices[first].refs, 0);
    EXPECT_EQ(pads.block->devices[second].refs, 0);
    EXPECT_EQ(pads.block->directInputRefs, 0);
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_FALSE(DirectInputLoaded());
}

}  // namespace
