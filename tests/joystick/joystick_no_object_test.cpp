// The joystick library when DINPUT.DLL loads but yields no DirectInput
// object.
#include <gtest/gtest.h>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad_driver.h"

namespace {

TEST(JoystickWithoutDirectInputObjectTest, FindsNoJoystickTriesOnceAndLeavesTheLibraryLoaded)
{
    EnsureJoystickRuntime();
    RemotePadDriver pads = {};
    ASSERT_TRUE(RemotePadCreate(pads));
    RemotePadPlug(pads);
    RemotePadSetCreateFails(pads, true);

    EXPECT_EQ(JoystickInit(), 0);
    ASSERT_EQ(RemotePadCalls(pads), "Create!")
        << "DirectInput did not come from the pad block: is dinput.dll beside the test and "
           "WINEDLLOVERRIDES=dinput=n set?";
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(JoystickExamine(0), 0);

    RemotePadSetCreateFails(pads, false);
    EXPECT_EQ(JoystickInit(), 0);
    JoystickEndAll();
    EXPECT_EQ(DirectInputUsers(), 0);
    EXPECT_EQ(RemotePadCalls(pads), "Create!");
    EXPECT_NE(GetModuleHandleA("DINPUT.DLL"), nullptr);
}

}  // namespace
