// The joystick library against the simulated pad that our dinput.dll serves
// in this process. DirectInput opens once per process, at the suite's first
// JoystickInit; every test enumerates afresh. The DLL refuses a call made
// with arguments DirectInput 7 would refuse, the data format included.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "runtime/joystick/joystick.h"
#include "harness/remote_pad_driver.h"
#include "tests/support/runtime_start.h"

namespace {

RemotePadDriver pads;

std::string SetUpOf(int pad)
{
    std::string n = "#" + std::to_string(pad);
    return "CreateDeviceEx" + n + " SetDataFormat" + n + " SetProperty" + n + " SetProperty" + n + " Acquire" + n;
}

// The directions of X and Y and button 1 that the joystick's snapshot reads.
std::string Reads(ObjectId joystick)
{
    return std::to_string(JoystickReadAxisX(joystick)) + "," + std::to_string(JoystickReadAxisY(joystick)) + "," +
           std::to_string(JoystickReadButton(joystick, 1));
}

class JoystickTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureRuntime();
        ASSERT_TRUE(RemotePadCreate(pads));
        ASSERT_EQ(JoystickInit(), 0);
        ASSERT_EQ(RemotePadCalls(pads), "Create EnumDevices") << RemotePadMissing;
    }

    // Every test starts without joysticks.
    void SetUp() override
    {
        RemotePadUnplugAll(pads);
        RemotePadSetEnumResult(pads, DI_OK);
        ASSERT_EQ(JoystickInit(), 0);
        RemotePadClearLog(pads);
    }

    static RemotePadDevice& Device(int pad) { return pads.block->devices[pad]; }
};

TEST_F(JoystickTest, InitSetsUpEachPadInOrderForXAndYFromMinus1000To1000)
{
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);
    RemotePadSetAxes(pads, first, -1000, 0);
    RemotePadSetAxes(pads, second, 1000, 1000);
    RemotePadSetButton(pads, second, 1, true);

    ASSERT_EQ(JoystickInit(), 2);
    // Each device completely before the next; DirectInput is not opened
    // again. AddRef and Release are logged too: each device holds the one
    // reference it was made with, and is acquired once.
    EXPECT_EQ(RemotePadCalls(pads), "EnumDevices " + SetUpOf(first) + " " + SetUpOf(second));
    EXPECT_EQ(pads.block->directInputRefs, 1);
    for (int pad : {first, second})
        for (int axis : {0, 1})
            EXPECT_EQ(std::to_string(Device(pad).rangeMin[axis]) + ".." + std::to_string(Device(pad).rangeMax[axis]),
                      "-1000..1000");
    EXPECT_EQ(Reads(0), "0,0,0") << "all zero until the first examine";
    ASSERT_EQ(JoystickExamine(0), 1);
    ASSERT_EQ(JoystickExamine(1), 1);
    // The snapshot stays what it was, whatever the pad does, and reading it
    // touches no device.
    RemotePadSetAxes(pads, second, 0, 0);
    RemotePadClearLog(pads);
    EXPECT_EQ(Reads(0), "-1,0,0");
    EXPECT_EQ(Reads(1), "1,1,128");
    EXPECT_EQ(RemotePadCalls(pads), "");
    EXPECT_EQ(JoystickExamine(1), 1);
    EXPECT_EQ(RemotePadCalls(pads), "Poll#1 GetDeviceState#1");
}

TEST_F(JoystickTest, APadWhoseSetUpFailsIsReleasedAndItsNumberGoesToTheNext)
{
    const struct {
        HRESULT RemotePadFaults::*step;
        const char* callsOnBrokenPad;
    } rows[] = {
        {&RemotePadFaults::createDevice, "CreateDeviceEx!"},
        {&RemotePadFaults::setDataFormat, "CreateDeviceEx SetDataFormat! DeviceRelease"},
        {&RemotePadFaults::setRangeX, "CreateDeviceEx SetDataFormat SetProperty! DeviceRelease"},
        {&RemotePadFaults::setRangeY, "CreateDeviceEx SetDataFormat SetProperty SetProperty! DeviceRelease"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.callsOnBrokenPad);
        RemotePadUnplugAll(pads);
        RemotePadFaults faults;
        faults.*row.step = DIERR_GENERIC;
        int broken = RemotePadPlug(pads, faults);
        int working = RemotePadPlug(pads);
        RemotePadSetAxes(pads, working, 0, -700);
        RemotePadClearLog(pads);

        ASSERT_EQ(JoystickInit(), 1);
        // The one reference it was made with is released: AddRef would show.
        EXPECT_EQ(RemotePadCalls(pads, broken), row.callsOnBrokenPad);
        EXPECT_EQ(RemotePadCalls(pads, working), "CreateDeviceEx SetDataFormat SetProperty SetProperty Acquire");
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(Reads(0), "0,-1,0");
        EXPECT_EQ(JoystickExamine(1), 0);
    }
}

TEST_F(JoystickTest, InitKeepsWhatAFailedEnumerationSetUpAndTheNextInitReleasesEverythingFirst)
{
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);
    RemotePadSetAxes(pads, first, 800, 0);
    RemotePadSetEnumResult(pads, DIERR_GENERIC, 1);
    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(RemotePadCalls(pads, second), "");
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(Reads(0), "1,0,0");

    RemotePadSetEnumResult(pads, DI_OK);
    RemotePadUnplug(pads, first);
    RemotePadClearLog(pads);
    EXPECT_EQ(JoystickInit(), 1);
    EXPECT_EQ(RemotePadCalls(pads), "DeviceRelease#" + std::to_string(first) + " EnumDevices " + SetUpOf(second));
    EXPECT_EQ(Device(first).refs, 0);
    EXPECT_EQ(Reads(0), "0,0,0") << "a new joystick 0 reads zero until examined";
}

TEST_F(JoystickTest, AxesCountOnlyStrictlyBeyond500AndButtonsOnlyByTheirTopBit)
{
    int pad = RemotePadPlug(pads);
    ASSERT_EQ(JoystickInit(), 1);
    const struct {
        LONG value;
        int direction;
    } axes[] = {{-1000, -1}, {-501, -1}, {-500, 0}, {500, 0}, {501, 1}, {LONG_MIN, -1}, {LONG_MAX, 1}};
    for (const auto& a : axes) {
        RemotePadSetAxes(pads, pad, a.value, a.value);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadAxisX(0), a.direction) << a.value;
        EXPECT_EQ(JoystickReadAxisY(0), a.direction) << a.value;
    }
    const struct {
        int button;
        BYTE value;
        int read;
    } buttons[] = {{1, 0x80, 128}, {1, 0xFF, 128}, {1, 0x7F, 0}, {2, 0x80, 128}, {32, 0x80, 128}, {32, 0x01, 0}};
    for (const auto& b : buttons) {
        DIJOYSTATE state = {};
        state.rgbButtons[b.button - 1] = b.value;
        RemotePadSetState(pads, pad, state);
        ASSERT_EQ(JoystickExamine(0), 1);
        for (int button : {1, 2, 31, 32})
            EXPECT_EQ(JoystickReadButton(0, button), button == b.button ? b.read : 0)
                << "button " << button << " with byte " << int(b.value) << " at " << b.button;
    }
}

TEST_F(JoystickTest, AFailedReadKeepsTheSnapshotAndAcquiresOnceForTheNextExamine)
{
    int pad = RemotePadPlug(pads);
    RemotePadSetAxes(pads, pad, 1000, 0);
    ASSERT_EQ(JoystickInit(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);

    RemotePadFailReads(pads, pad, 1);
    RemotePadSetAxes(pads, pad, -1000, 1000);
    RemotePadClearLog(pads);
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(Reads(0), "1,0,0");
    EXPECT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(Reads(0), "-1,1,0");
    // Unplugged: every examine fails and tries one Acquire.
    RemotePadUnplug(pads, pad);
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(Reads(0), "-1,1,0");
    EXPECT_EQ(RemotePadCalls(pads, pad),
              "Poll GetDeviceState! Acquire Poll GetDeviceState Poll GetDeviceState! Acquire!");
}

}  // namespace
