// The joystick-to-key mapping, end to end: the simulated pad is moved, the
// mapping polls it through the joystick library and our dinput.dll, and the
// key observer reports the keyboard events that reached the system input
// stream.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/key_mapping.h"
#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/key_observer.h"
#include "tests/support/remote_pad_driver.h"

namespace {

using Keys = std::vector<KeyEvent>;

constexpr LONG Full = 1000;

RemotePadDriver pads;
int mapped;  // the pad that is joystick 0
int other;   // joystick 1, always deflected, never mapped

class KeyMappingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureJoystickRuntime();
        ASSERT_TRUE(RemotePadCreate(pads));
        mapped = RemotePadPlug(pads);
        other = RemotePadPlug(pads);
        RemotePadSetAxes(pads, other, -Full, Full);
        for (int button = 1; button <= 32; ++button)
            RemotePadSetButton(pads, other, button, true);
        ASSERT_EQ(JoystickInit(), 2) << "is dinput.dll beside the test and WINEDLLOVERRIDES=dinput=n set?";
        ASSERT_TRUE(KeyObserverStart());
    }

    static void TearDownTestSuite() { KeyObserverStop(); }

    // Every test starts and ends with the stick centred and no key held.
    void SetUp() override { Centre(); }
    void TearDown() override { Centre(); }

    void Centre()
    {
        RemotePadSetState(pads, mapped, DIJOYSTATE());
        KeyMappingPoll();
        KeyObserverTake();
        ASSERT_EQ(upHeld | downHeld | leftHeld | rightHeld | spaceHeld, 0);
    }

    static Keys Poll(LONG x, LONG y)
    {
        RemotePadSetAxes(pads, mapped, x, y);
        KeyMappingPoll();
        return KeyObserverTake();
    }

    static Keys PollButton(bool pressed)
    {
        RemotePadSetButton(pads, mapped, 1, pressed);
        KeyMappingPoll();
        return KeyObserverTake();
    }
};

TEST_F(KeyMappingTest, HeldDirectionRepeatsItsKeyDownEveryPassAndGoesUpOnceAtCentre)
{
    RemotePadSetAxes(pads, mapped, 0, -Full);
    RemotePadClearLog(pads);
    for (int i = 0; i < 100; ++i)
        KeyMappingPoll();
    EXPECT_EQ(KeyObserverTake(), Keys(100, Down(VK_UP)));
    EXPECT_EQ(upHeld, 1);
    // One snapshot per pass, of joystick 0 only.
    std::string snapshots = "Poll GetDeviceState";
    for (int i = 1; i < 100; ++i)
        snapshots += " Poll GetDeviceState";
    EXPECT_EQ(RemotePadCalls(pads, mapped), snapshots);
    EXPECT_EQ(RemotePadCalls(pads, other), "");

    EXPECT_EQ(Poll(0, 0), Keys{Up(VK_UP)});
    EXPECT_EQ(upHeld, 0);
    EXPECT_EQ(Poll(0, 0), Keys{});
}

TEST_F(KeyMappingTest, JumpToTheOppositeSideReleasesNothingUntilTheCentre)
{
    EXPECT_EQ(Poll(0, -Full), Keys{Down(VK_UP)});
    EXPECT_EQ(Poll(0, Full), Keys{Down(VK_DOWN)});
    EXPECT_EQ(Poll(0, 0), (Keys{Up(VK_UP), Up(VK_DOWN)}));

    EXPECT_EQ(Poll(Full, 0), Keys{Down(VK_RIGHT)});
    EXPECT_EQ(Poll(-Full, 0), Keys{Down(VK_LEFT)});
    EXPECT_EQ(Poll(0, 0), (Keys{Up(VK_LEFT), Up(VK_RIGHT)}));
}

TEST_F(KeyMappingTest, OnePassRunsTheFiveRulesInOrder)
{
    RemotePadSetButton(pads, mapped, 1, true);
    EXPECT_EQ(Poll(-Full, -Full), (Keys{Down(VK_UP), Down(VK_LEFT), SpaceDown}));
    RemotePadSetButton(pads, mapped, 1, false);
    EXPECT_EQ(Poll(-Full, -Full), (Keys{Down(VK_UP), Down(VK_LEFT), Up(VK_SPACE)}));
    EXPECT_EQ(Poll(0, 0), (Keys{Up(VK_UP), Up(VK_LEFT)}));

    EXPECT_EQ(Poll(Full, Full), (Keys{Down(VK_DOWN), Down(VK_RIGHT)}));
    // One axis back to the centre while the other moves on.
    EXPECT_EQ(Poll(0, -Full), (Keys{Down(VK_UP), Up(VK_RIGHT)}));
    EXPECT_EQ(Poll(0, 0), (Keys{Up(VK_UP), Up(VK_DOWN)}));
}

TEST_F(KeyMappingTest, ButtonOneDrivesSpaceWithScanCode0x20AndTheExtendedFlag)
{
    const Keys first = PollButton(true);
    EXPECT_EQ(first, Keys{SpaceDown});
    EXPECT_EQ(PollButton(true), Keys{SpaceDown});
    EXPECT_EQ(spaceHeld, 1);
    // The key-up carries scan code 0 and no extended flag.
    const Keys up = PollButton(false);
    EXPECT_EQ(up, Keys{Up(VK_SPACE)});
    // What the system itself made of the two calls.
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(first[0].hookFlags, static_cast<DWORD>(LLKHF_INJECTED | LLKHF_EXTENDED));
    EXPECT_EQ(up[0].hookFlags, static_cast<DWORD>(LLKHF_INJECTED | LLKHF_UP));
    EXPECT_GE(up[0].time, first[0].time);
    EXPECT_EQ(spaceHeld, 0);
    EXPECT_EQ(PollButton(false), Keys{});
}

TEST_F(KeyMappingTest, OtherButtonsAxesHatsAndJoysticksInjectNothing)
{
    DIJOYSTATE state = {};
    for (int button = 2; button <= 32; ++button)
        state.rgbButtons[button - 1] = 0x80;
    state.lZ = state.lRx = state.lRy = state.lRz = Full;
    state.rglSlider[0] = state.rglSlider[1] = -Full;
    for (DWORD& hat : state.rgdwPOV)
        hat = 27000;
    RemotePadSetState(pads, mapped, state);
    for (int i = 0; i < 3; ++i)
        KeyMappingPoll();
    EXPECT_EQ(KeyObserverTake(), Keys{});
}

// A pad that cannot be read must not keep its last keys pressed: held keys
// go up once and nothing goes down until a read works again.
TEST_F(KeyMappingTest, FailedSnapshotsReadAsACentredStickUntilAReadWorks)
{
    RemotePadSetButton(pads, mapped, 1, true);
    EXPECT_EQ(Poll(0, -Full), (Keys{Down(VK_UP), SpaceDown}));

    RemotePadFailReads(pads, mapped, 3);
    EXPECT_EQ(Poll(0, -Full), (Keys{Up(VK_UP), Up(VK_SPACE)}));
    EXPECT_EQ(Poll(0, -Full), Keys{});
    EXPECT_EQ(Poll(0, -Full), Keys{});
    // Reads work again with the stick still up and the button still down.
    EXPECT_EQ(Poll(0, -Full), (Keys{Down(VK_UP), SpaceDown}));
}

TEST_F(KeyMappingTest, ReleaseHeldLetsGoOfEveryHeldKeyOnce)
{
    RemotePadSetButton(pads, mapped, 1, true);
    EXPECT_EQ(Poll(Full, Full), (Keys{Down(VK_DOWN), Down(VK_RIGHT), SpaceDown}));

    KeyMappingReleaseHeld();
    EXPECT_EQ(KeyObserverTake(), (Keys{Up(VK_DOWN), Up(VK_RIGHT), Up(VK_SPACE)}));
    EXPECT_EQ(downHeld | rightHeld | spaceHeld, 0);
    KeyMappingReleaseHeld();
    EXPECT_EQ(KeyObserverTake(), Keys{});

    // Still deflected: the next pass presses again.
    EXPECT_EQ(Poll(Full, Full), (Keys{Down(VK_DOWN), Down(VK_RIGHT), SpaceDown}));
}

}  // namespace
