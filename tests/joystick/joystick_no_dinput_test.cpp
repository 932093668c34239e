// The joystick library on a system without DINPUT.DLL: the suite runs with
// the DLL disabled (WINEDLLOVERRIDES=dinput=), and a pad is plugged in that
// the library would find if it loaded one.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad_driver.h"

namespace {

TEST(JoystickWithoutDirectInputTest, FindsNoJoystickAndEndsCleanly)
{
    EnsureJoystickRuntime();
    RemotePadDriver pads = {};
    ASSERT_TRUE(RemotePadCreate(pads));
    int pad = RemotePadPlug(pads);
    RemotePadSetAxes(pads, pad, 1000, 1000);

    EXPECT_EQ(JoystickInit(), 0);
    ASSERT_EQ(GetModuleHandleA("DINPUT.DLL"), nullptr) << "is WINEDLLOVERRIDES=dinput= set?";
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);

    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(DirectInputUsers(), 1);
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_EQ(RemotePadCalls(pads), "");
}

}  // namespace
