// The joystick library on a system without DINPUT.DLL: the simulated
// dinput.dll refuses to load, as a missing one would fail to.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/sim_pad.h"

namespace {

TEST(JoystickWithoutDirectInputTest, FindsNoJoystickTriesOnceAndEndsCleanly)
{
    EnsureJoystickRuntime();
    int pad = SimPadPlug();
    SimPadSetAxes(pad, 1000, 1000);
    SimPadSetModuleLoadable(false);

    EXPECT_EQ(JoystickInit(), 0);
    ASSERT_EQ(SimDirectInput().moduleLoads, 1)
        << "dinput.dll did not come from the simulation: is it beside the test and "
           "WINEDLLOVERRIDES=dinput=n set?";
    EXPECT_EQ(SimDirectInput().createCalls, 0);
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);

    // The failed open holds for the whole process.
    SimPadSetModuleLoadable(true);
    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(SimDirectInput().moduleLoads, 1);
    EXPECT_EQ(DirectInputUsers(), 1);

    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_TRUE(SimPadDevices(pad).empty());
    EXPECT_TRUE(SimPadLog().empty());
}

}  // namespace
