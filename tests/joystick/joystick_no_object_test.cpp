// The joystick library when DINPUT.DLL loads but yields no DirectInput
// object.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/sim_pad.h"

namespace {

TEST(JoystickWithoutDirectInputObjectTest, FindsNoJoystickAndLeavesTheLibraryLoaded)
{
    EnsureJoystickRuntime();
    int pad = SimPadPlug();
    SimPadSetCreateSucceeds(false);

    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(SimDirectInput().moduleLoads, 1);
    ASSERT_EQ(SimDirectInput().createCalls, 1)
        << "DirectInput did not come from the simulation: is dinput.dll beside the test and "
           "WINEDLLOVERRIDES=dinput=n set?";
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(JoystickExamine(0), 0);

    // Not retried.
    SimPadSetCreateSucceeds(true);
    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(SimDirectInput().createCalls, 1);

    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_TRUE(SimPadDevices(pad).empty());
    EXPECT_NE(GetModuleHandleA("DINPUT.DLL"), nullptr);
}

}  // namespace
