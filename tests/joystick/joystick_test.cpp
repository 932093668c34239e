// The joystick library against the simulated pad that our dinput.dll serves
// in this process: set-up, numbering, snapshots and their reading, failures
// and re-enumeration. DirectInput opens once per process, at the suite's
// first JoystickInit; every test enumerates afresh.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "runtime/joystick/joystick.h"
#include "tests/support/dinput_ids.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad_driver.h"
#include "tests/win32_printers.h"

namespace {

RemotePadDriver pads;

// The set-up of one pad, as RemotePadCalls tells every call.
std::string SetUpOf(int pad)
{
    std::string n = "#" + std::to_string(pad);
    return "CreateDeviceEx" + n + " SetDataFormat" + n + " SetProperty" + n + " SetProperty" + n + " Acquire" + n;
}

class JoystickTest : public ::testing::Test {
protected:
    // Once for the fault suite as well.
    static void SetUpTestSuite()
    {
        if (pads.block)
            return;
        EnsureJoystickRuntime();
        ASSERT_TRUE(RemotePadCreate(pads));
        ASSERT_EQ(JoystickInit(), 0);
        ASSERT_EQ(RemotePadCalls(pads), "Create EnumDevices")
            << "DirectInput did not come from the pad block: is dinput.dll beside the test and "
               "WINEDLLOVERRIDES=dinput=n set?";
    }

    // Every test starts without joysticks.
    void SetUp() override
    {
        RemotePadUnplugAll(pads);
        RemotePadSetEnumResult(pads, DI_OK);
        ASSERT_EQ(JoystickInit(), 0);
        RemotePadClearLog(pads);
    }

    static const RemotePadDevice& Device(int pad) { return pads.block->devices[pad]; }
};

TEST_F(JoystickTest, InitOpensDirectInputOnceAndSetsUpEachPadForXAndYFromMinus1000To1000)
{
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);
    RemotePadSetAxes(pads, first, -1000, 0);
    RemotePadSetAxes(pads, second, 1000, 1000);
    RemotePadSetButton(pads, second, 3, true);

    ASSERT_EQ(JoystickInit(), 2);

    const RemotePadCreateRecord& create = pads.block->create;
    EXPECT_EQ(pads.block->counts[RemoteCallCreate], 1);
    EXPECT_EQ(create.instance, reinterpret_cast<ULONG_PTR>(GetModuleHandleA(nullptr)));
    EXPECT_EQ(create.version, 0x0700u);
    EXPECT_TRUE(create.iid == dinput_iid::DirectInput7A);
    EXPECT_FALSE(create.outerGiven);
    EXPECT_EQ(pads.block->directInputRefs, 1);
    EXPECT_EQ(DirectInputUsers(), 1);

    const RemotePadEnumRecord& enumeration = pads.block->enumeration;
    EXPECT_EQ(enumeration.devType, static_cast<DWORD>(DIDEVTYPE_JOYSTICK));
    EXPECT_EQ(enumeration.flags, static_cast<DWORD>(DIEDFL_ATTACHEDONLY));
    EXPECT_EQ(enumeration.context, create.object);
    ASSERT_EQ(enumeration.callbacks, 2);
    EXPECT_EQ(enumeration.results[0], DIENUM_CONTINUE);
    EXPECT_EQ(enumeration.results[1], DIENUM_CONTINUE);

    // Each device completely before the next; no cooperative level, nothing else.
    EXPECT_EQ(RemotePadCalls(pads), "EnumDevices " + SetUpOf(first) + " " + SetUpOf(second));
    for (int pad : {first, second}) {
        SCOPED_TRACE(pad);
        EXPECT_EQ(Device(pad).refs, 1);
        EXPECT_EQ(Device(pad).acquired, 1);
        ASSERT_EQ(Device(pad).propertyCount, 2);
        for (DWORD i = 0; i < 2; ++i) {
            const RemotePadProperty& range = Device(pad).properties[i];
            EXPECT_EQ(range.property, 4u);  // DIPROP_RANGE
            EXPECT_EQ(range.header.dwSize, 24u);
            EXPECT_EQ(range.header.dwHeaderSize, 16u);
            EXPECT_EQ(range.header.dwObj, 4 * i);  // DIJOFS_X, then DIJOFS_Y
            EXPECT_EQ(range.header.dwHow, static_cast<DWORD>(DIPH_BYOFFSET));
            EXPECT_EQ(range.min, -1000);
            EXPECT_EQ(range.max, 1000);
        }
    }

    // Numbered in enumeration order.
    ASSERT_EQ(JoystickExamine(0), 1);
    ASSERT_EQ(JoystickExamine(1), 1);
    EXPECT_EQ(JoystickReadAxisX(0), -1);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 3), 0);
    EXPECT_EQ(JoystickReadAxisX(1), 1);
    EXPECT_EQ(JoystickReadAxisY(1), 1);
    EXPECT_EQ(JoystickReadButton(1, 3), 128);
    EXPECT_EQ(JoystickExamine(2), 0);
}

// DirectInput's published c_dfDIJoystick, as the documentation lays it out.
struct PublishedObject {
    GUID guid;
    bool hasGuid;
    DWORD offset;
    DWORD type;
    DWORD flags;
};

std::vector<PublishedObject> PublishedJoystickObjects()
{
    auto axisGuid = [](DWORD first) {
        return GUID{first, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    };
    const DWORD axis = 0x80FFFF03;    // DIDFT_AXIS | DIDFT_ANYINSTANCE | DIDFT_OPTIONAL
    const DWORD pov = 0x80FFFF10;     // DIDFT_POV | ...
    const DWORD button = 0x80FFFF0C;  // DIDFT_BUTTON | ...
    const DWORD aspectPosition = 0x100;
    std::vector<PublishedObject> objects = {
        {axisGuid(0xA36D02E0), true, 0, axis, aspectPosition},   // X
        {axisGuid(0xA36D02E1), true, 4, axis, aspectPosition},   // Y
        {axisGuid(0xA36D02E2), true, 8, axis, aspectPosition},   // Z
        {axisGuid(0xA36D02F4), true, 12, axis, aspectPosition},  // Rx
        {axisGuid(0xA36D02F5), true, 16, axis, aspectPosition},  // Ry
        {axisGuid(0xA36D02E3), true, 20, axis, aspectPosition},  // Rz
        {axisGuid(0xA36D02E4), true, 24, axis, aspectPosition},  // slider
        {axisGuid(0xA36D02E4), true, 28, axis, aspectPosition},  // slider
    };
    for (DWORD i = 0; i < 4; ++i)
        objects.push_back({axisGuid(0xA36D02F2), true, 32 + 4 * i, pov, 0});
    for (DWORD i = 0; i < 32; ++i)
        objects.push_back({GUID(), false, 48 + i, button, 0});
    return objects;
}

TEST_F(JoystickTest, HandsDirectInputThePublishedJoystickFormat)
{
    int pad = RemotePadPlug(pads);
    ASSERT_EQ(JoystickInit(), 1);

    const RemotePadFormat& format = Device(pad).format;
    EXPECT_EQ(format.size, sizeof(DIDATAFORMAT));
    EXPECT_EQ(format.objSize, sizeof(DIOBJECTDATAFORMAT));
    EXPECT_EQ(format.flags, static_cast<DWORD>(DIDF_ABSAXIS));
    EXPECT_EQ(format.dataSize, 80u);
    std::vector<PublishedObject> published = PublishedJoystickObjects();
    ASSERT_EQ(format.numObjs, published.size());
    for (size_t i = 0; i < published.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(format.objects[i].hasGuid != 0, published[i].hasGuid);
        EXPECT_EQ(format.objects[i].guid, published[i].guid);
        EXPECT_EQ(format.objects[i].offset, published[i].offset);
        EXPECT_EQ(format.objects[i].type, published[i].type);
        EXPECT_EQ(format.objects[i].flags, published[i].flags);
    }
}

struct SetUpFault {
    const char* step;
    RemotePadFaults faults;
    const char* callsOnBrokenPad;
};

RemotePadFaults Failing(HRESULT RemotePadFaults::*step)
{
    RemotePadFaults faults;
    faults.*step = DIERR_GENERIC;
    return faults;
}

class JoystickSetUpFaultTest : public JoystickTest, public ::testing::WithParamInterface<SetUpFault> {};

TEST_P(JoystickSetUpFaultTest, SkipsTheDeviceAndGivesItsNumberToTheNext)
{
    const SetUpFault& fault = GetParam();
    int broken = RemotePadPlug(pads, fault.faults);
    int working = RemotePadPlug(pads);
    RemotePadSetAxes(pads, working, 0, -700);

    ASSERT_EQ(JoystickInit(), 1);

    EXPECT_EQ(RemotePadCalls(pads, broken), fault.callsOnBrokenPad);
    EXPECT_EQ(Device(broken).refs, 0);
    EXPECT_EQ(RemotePadCalls(pads, working), "CreateDeviceEx SetDataFormat SetProperty SetProperty Acquire");
    ASSERT_EQ(pads.block->enumeration.callbacks, 2);
    EXPECT_EQ(pads.block->enumeration.results[0], DIENUM_CONTINUE);
    EXPECT_EQ(pads.block->enumeration.results[1], DIENUM_CONTINUE);
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), -1);
    EXPECT_EQ(JoystickExamine(1), 0);
}

const SetUpFault setUpFaults[] = {
    {"CreateDeviceEx", Failing(&RemotePadFaults::createDevice), "CreateDeviceEx!"},
    {"SetDataFormat", Failing(&RemotePadFaults::setDataFormat), "CreateDeviceEx SetDataFormat! DeviceRelease"},
    {"RangeX", Failing(&RemotePadFaults::setRangeX), "CreateDeviceEx SetDataFormat SetProperty! DeviceRelease"},
    {"RangeY", Failing(&RemotePadFaults::setRangeY),
     "CreateDeviceEx SetDataFormat SetProperty SetProperty! DeviceRelease"},
};

INSTANTIATE_TEST_SUITE_P(Steps, JoystickSetUpFaultTest, ::testing::ValuesIn(setUpFaults),
                         [](const ::testing::TestParamInfo<SetUpFault>& info) { return info.param.step; });

TEST_F(JoystickTest, InitGivesZeroWithoutAttachedPadsOrOnAFailedEnumeration)
{
    int unplugged = RemotePadPlug(pads);
    RemotePadSetAxes(pads, unplugged, 1000, 1000);
    RemotePadSetButton(pads, unplugged, 1, true);
    RemotePadUnplug(pads, unplugged);
    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(RemotePadCalls(pads), "EnumDevices");
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);

    // The joystick set up before the enumeration failed stays.
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);
    RemotePadSetAxes(pads, first, 800, 0);
    RemotePadSetEnumResult(pads, DIERR_GENERIC, 1);
    EXPECT_EQ(JoystickInit(), 0);
    EXPECT_EQ(RemotePadCalls(pads, second), "");
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisX(0), 1);
    EXPECT_EQ(JoystickExamine(1), 0);

    // The next JoystickInit releases it as any other.
    RemotePadSetEnumResult(pads, DI_OK);
    EXPECT_EQ(JoystickInit(), 2);
    EXPECT_EQ(Device(first).refs, 1);
}

TEST_F(JoystickTest, RepeatedInitReleasesEveryDeviceFirstAndNumbersAgainFromAZeroSnapshot)
{
    int first = RemotePadPlug(pads);
    int second = RemotePadPlug(pads);
    RemotePadSetAxes(pads, second, 0, 1000);
    ASSERT_EQ(JoystickInit(), 2);
    ASSERT_EQ(JoystickExamine(1), 1);

    RemotePadUnplug(pads, first);
    RemotePadClearLog(pads);
    ASSERT_EQ(JoystickInit(), 1);

    // Released without Unacquire, before the new enumeration; DirectInput
    // is not opened again.
    EXPECT_EQ(RemotePadCalls(pads), "DeviceRelease#" + std::to_string(first) + " DeviceRelease#" +
                                        std::to_string(second) + " EnumDevices " + SetUpOf(second));
    EXPECT_EQ(Device(first).refs, 0);
    EXPECT_EQ(Device(second).refs, 1);
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), 1);
    EXPECT_EQ(JoystickExamine(1), 0);
}

TEST_F(JoystickTest, ExamineTakesOneSnapshotThatTheReadersUseWithoutTouchingTheDevice)
{
    int pad = RemotePadPlug(pads);
    RemotePadSetAxes(pads, pad, 1000, -1000);
    RemotePadSetButton(pads, pad, 1, true);
    ASSERT_EQ(JoystickInit(), 1);
    // All zero until the first examine.
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);

    RemotePadClearLog(pads);
    EXPECT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(RemotePadCalls(pads), "Poll#" + std::to_string(pad) + " GetDeviceState#" + std::to_string(pad));
    EXPECT_EQ(Device(pad).stateSize, 80);

    RemotePadSetState(pads, pad, DIJOYSTATE());
    RemotePadClearLog(pads);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(JoystickReadAxisX(0), 1);
        EXPECT_EQ(JoystickReadAxisY(0), -1);
        EXPECT_EQ(JoystickReadButton(0, 1), 128);
    }
    EXPECT_EQ(RemotePadCalls(pads), "");
}

TEST_F(JoystickTest, AxesCountOnlyStrictlyBeyond500AndButtonsOnlyByTheirTopBit)
{
    int pad = RemotePadPlug(pads);
    ASSERT_EQ(JoystickInit(), 1);

    const struct {
        LONG value;
        int direction;
    } axes[] = {
        {-1000, -1}, {-501, -1}, {-500, 0}, {0, 0}, {500, 0}, {501, 1}, {1000, 1}, {LONG_MIN, -1}, {LONG_MAX, 1},
    };
    for (const auto& a : axes) {
        SCOPED_TRACE(a.value);
        // X and Y each from their own field.
        RemotePadSetAxes(pads, pad, a.value, 0);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadAxisX(0), a.direction);
        EXPECT_EQ(JoystickReadAxisY(0), 0);
        RemotePadSetAxes(pads, pad, 0, a.value);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadAxisX(0), 0);
        EXPECT_EQ(JoystickReadAxisY(0), a.direction);
    }

    // Button n reads byte n - 1.
    for (int pressed = 1; pressed <= 32; ++pressed) {
        SCOPED_TRACE(pressed);
        DIJOYSTATE state = {};
        state.rgbButtons[pressed - 1] = 0x80;
        RemotePadSetState(pads, pad, state);
        ASSERT_EQ(JoystickExamine(0), 1);
        for (int button = 1; button <= 32; ++button)
            EXPECT_EQ(JoystickReadButton(0, button), button == pressed ? 128 : 0) << "button " << button;
    }
    const struct {
        BYTE value;
        int read;
    } bytes[] = {{0x7F, 0}, {0x01, 0}, {0x80, 128}, {0xFF, 128}};
    for (const auto& b : bytes) {
        DIJOYSTATE state = {};
        state.rgbButtons[0] = b.value;
        RemotePadSetState(pads, pad, state);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadButton(0, 1), b.read) << "byte " << int(b.value);
    }
}

TEST_F(JoystickTest, FailedReadKeepsTheSnapshotAndAcquiresOnceForTheNextExamine)
{
    int pad = RemotePadPlug(pads);
    RemotePadSetAxes(pads, pad, 1000, 0);
    ASSERT_EQ(JoystickInit(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);

    RemotePadFailReads(pads, pad, 1);
    RemotePadSetAxes(pads, pad, -1000, 1000);
    RemotePadClearLog(pads);
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(RemotePadCalls(pads, pad), "Poll GetDeviceState! Acquire");
    EXPECT_EQ(JoystickReadAxisX(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisX(0), -1);
    EXPECT_EQ(JoystickReadAxisY(0), 1);

    // Unplugged: every examine fails and tries one Acquire.
    RemotePadUnplug(pads, pad);
    RemotePadClearLog(pads);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(RemotePadCalls(pads, pad), "Poll GetDeviceState! Acquire! Poll! GetDeviceState! Acquire! "
                                         "Poll! GetDeviceState! Acquire!");
    EXPECT_EQ(JoystickReadAxisY(0), 1);
}

TEST_F(JoystickTest, NumbersNamingNoLiveJoystickGiveZeroAndTouchNoDevice)
{
    int pad = RemotePadPlug(pads);
    RemotePadSetAxes(pads, pad, 1000, 1000);
    RemotePadSetButton(pads, pad, 1, true);
    ASSERT_EQ(JoystickInit(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);
    RemotePadClearLog(pads);

    for (ObjectId joystick : {ObjectId(1), ObjectId(15), ObjectId(16), ObjectId(5000), ObjectId(-2), AutoNumber}) {
        SCOPED_TRACE(joystick);
        EXPECT_EQ(JoystickExamine(joystick), 0);
        EXPECT_EQ(JoystickReadAxisX(joystick), 0);
        EXPECT_EQ(JoystickReadAxisY(joystick), 0);
        EXPECT_EQ(JoystickReadButton(joystick, 1), 0);
    }
    EXPECT_EQ(RemotePadCalls(pads), "");
}

}  // namespace
