// The joystick library's whole life in a process, from before JoystickInit
// to after JoystickEndAll. DirectInput opens once per process, so CTest
// runs each test in a process of its own (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "harness/remote_pad_driver.h"
#include "tests/support/runtime_start.h"

namespace {

bool DirectInputLoaded()
{
    return GetModuleHandleA("DINPUT.DLL") != nullptr;
}

class JoystickProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureRuntime();
        ASSERT_TRUE(RemotePadCreate(pads));
        pad = RemotePadPlug(pads);
    }

    RemotePadDriver pads{};
    int pad = -1;
};

TEST_F(JoystickProcessTest, EndAllReleasesDevicesThenDirectInputAndUnloadsIt)
{
    int second = RemotePadPlug(pads);
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_FALSE(DirectInputLoaded());

    ASSERT_EQ(JoystickInit(), 2) << RemotePadMissing;
    EXPECT_EQ(DirectInputUsers(), 1);
    RemotePadClearLog(pads);
    JoystickEndAll();
    // Devices go without Unacquire, and before DirectInput itself.
    EXPECT_EQ(RemotePadCalls(pads), "DeviceRelease#" + std::to_string(pad) + " DeviceRelease#" +
                                        std::to_string(second) + " DirectInputRelease");
    EXPECT_EQ(pads.block->devices[pad].refs + pads.block->devices[second].refs + pads.block->directInputRefs, 0);
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_FALSE(DirectInputLoaded());
}

// DINPUT.DLL loads but yields no DirectInput object: tried once, the
// library stays loaded until the end.
TEST_F(JoystickProcessTest, WithoutADirectInputObjectFindsNoJoystickAndTriesOnce)
{
    RemotePadSetCreateFails(pads, true);
    EXPECT_EQ(JoystickInit(), 0);
    ASSERT_EQ(RemotePadCalls(pads), "Create!") << "is WINEDLLOVERRIDES=dinput=n set?";
    RemotePadSetCreateFails(pads, false);
    EXPECT_EQ(JoystickInit(), 0);
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_EQ(RemotePadCalls(pads), "Create!");
    EXPECT_TRUE(DirectInputLoaded());
}

// Run with WINEDLLOVERRIDES=dinput= : Wine loads no DINPUT.DLL at all.
TEST_F(JoystickProcessTest, WithoutDirectInputFindsNoJoystickAndEndsCleanly)
{
    EXPECT_EQ(JoystickInit(), 0);
    ASSERT_FALSE(DirectInputLoaded()) << "is WINEDLLOVERRIDES=dinput= set?";
    EXPECT_EQ(JoystickInit(), 0);
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
}

}  // namespace
