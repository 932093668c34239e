// The joystick library against the simulated DirectInput: set-up,
// numbering, snapshots and their reading, failures and re-enumeration.
// DirectInput opens once per process, so every test here starts from the
// library's Open state and enumerates afresh.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <vector>

#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/sim_pad.h"

namespace {

using Calls = std::vector<SimCall>;

const Calls SetUpCalls = {SimCall::CreateDeviceEx, SimCall::SetDataFormat, SimCall::SetProperty,
                          SimCall::SetProperty, SimCall::Acquire};

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureJoystickRuntime();
        SimPadSetEnumFailure(-1, DI_OK);
        SimPadUnplugAll();
        SimPadClearLog();
    }

    // JoystickInit, after checking that it reached the simulation.
    int Init()
    {
        int count = JoystickInit();
        EXPECT_EQ(SimDirectInput().createCalls, 1)
            << "DirectInput did not come from the simulation: is dinput.dll beside the test and "
               "WINEDLLOVERRIDES=dinput=n set?";
        return count;
    }
};

bool SameGuid(const GUID& a, const GUID& b)
{
    return a == b;
}

TEST_F(JoystickTest, OpensDirectInputOnceForEveryInit)
{
    SimPadPlug();
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(Init(), 1);

    const SimDirectInputRecord& di = SimDirectInput();
    EXPECT_EQ(di.moduleLoads, 1);
    EXPECT_EQ(di.createCalls, 1);
    EXPECT_EQ(di.instance, GetModuleHandleA(nullptr));
    EXPECT_EQ(di.version, 0x0700u);
    const GUID directInput7A = {0x9A4CB684, 0x236D, 0x11D3, {0x8E, 0x9D, 0x00, 0xC0, 0x4F, 0x68, 0x44, 0xAE}};
    EXPECT_TRUE(SameGuid(di.iid, directInput7A));
    EXPECT_FALSE(di.outerGiven);
    EXPECT_EQ(di.refs, 1);
    EXPECT_EQ(DirectInputUsers(), 1);
}

TEST_F(JoystickTest, EnumeratesAttachedJoysticksAndContinuesPastEveryDevice)
{
    SimPadPlug();
    SimPadFaults broken;
    broken.setDataFormat = DIERR_GENERIC;
    SimPadPlug(broken);
    SimPadPlug();

    ASSERT_EQ(Init(), 2);

    const SimEnumRecord& enumeration = SimDirectInput().enumerations.back();
    EXPECT_EQ(enumeration.devType, static_cast<DWORD>(DIDEVTYPE_JOYSTICK));
    EXPECT_EQ(enumeration.flags, static_cast<DWORD>(DIEDFL_ATTACHEDONLY));
    EXPECT_EQ(enumeration.context, SimDirectInput().object);
    EXPECT_EQ(enumeration.callbackResults, (std::vector<BOOL>{DIENUM_CONTINUE, DIENUM_CONTINUE, DIENUM_CONTINUE}));
}

TEST_F(JoystickTest, SetsUpEachDeviceForAbsoluteXAndYFromMinus1000To1000)
{
    int first = SimPadPlug();
    int second = SimPadPlug();

    ASSERT_EQ(Init(), 2);

    for (int pad : {first, second}) {
        SCOPED_TRACE(pad);
        // No cooperative level, no other property, nothing else.
        EXPECT_EQ(SimPadCalls(pad), SetUpCalls);
        const SimDeviceRecord& device = SimPadDevice(pad);
        EXPECT_EQ(device.refs, 1);
        EXPECT_TRUE(device.acquired);
        ASSERT_EQ(device.properties.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            const SimPropertyRecord& range = device.properties[i];
            EXPECT_EQ(range.property, 4u);  // DIPROP_RANGE
            EXPECT_EQ(range.header.dwSize, 24u);
            EXPECT_EQ(range.header.dwHeaderSize, 16u);
            EXPECT_EQ(range.header.dwObj, i == 0 ? 0u : 4u);  // DIJOFS_X, then DIJOFS_Y
            EXPECT_EQ(range.header.dwHow, static_cast<DWORD>(DIPH_BYOFFSET));
            EXPECT_EQ(range.min, -1000);
            EXPECT_EQ(range.max, 1000);
        }
    }
    // The first device is set up completely before the second is created.
    std::vector<int> order;
    for (const SimCallRecord& call : SimPadLog())
        if ((call.pad == first || call.pad == second) && (order.empty() || order.back() != call.pad))
            order.push_back(call.pad);
    EXPECT_EQ(order, (std::vector<int>{first, second}));
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
    int pad = SimPadPlug();
    ASSERT_EQ(Init(), 1);

    const SimDataFormat& format = SimPadDevice(pad).format;
    EXPECT_EQ(format.header.dwSize, 24u);
    EXPECT_EQ(format.header.dwObjSize, 16u);
    EXPECT_EQ(format.header.dwFlags, static_cast<DWORD>(DIDF_ABSAXIS));
    EXPECT_EQ(format.header.dwDataSize, 80u);
    std::vector<PublishedObject> published = PublishedJoystickObjects();
    ASSERT_EQ(format.header.dwNumObjs, published.size());
    for (size_t i = 0; i < published.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(format.hasGuid[i], published[i].hasGuid);
        if (published[i].hasGuid) {
            EXPECT_TRUE(SameGuid(format.guids[i], published[i].guid));
        }
        EXPECT_EQ(format.objects[i].dwOfs, published[i].offset);
        EXPECT_EQ(format.objects[i].dwType, published[i].type);
        EXPECT_EQ(format.objects[i].dwFlags, published[i].flags);
    }
}

TEST_F(JoystickTest, NumbersJoysticksInEnumerationOrder)
{
    int first = SimPadPlug();
    int second = SimPadPlug();
    SimPadSetAxes(first, -1000, 0);
    SimPadSetAxes(second, 1000, 1000);
    SimPadSetButton(second, 3, true);

    ASSERT_EQ(Init(), 2);
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

struct SetUpFault {
    const char* step;
    SimPadFaults faults;
    Calls callsOnBrokenPad;
};

SimPadFaults Failing(HRESULT SimPadFaults::*step)
{
    SimPadFaults faults;
    faults.*step = DIERR_GENERIC;
    return faults;
}

class JoystickSetUpFaultTest : public JoystickTest, public ::testing::WithParamInterface<SetUpFault> {};

TEST_P(JoystickSetUpFaultTest, SkipsTheDeviceAndGivesItsNumberToTheNext)
{
    const SetUpFault& fault = GetParam();
    int broken = SimPadPlug(fault.faults);
    int working = SimPadPlug();
    SimPadSetAxes(working, 0, -700);

    ASSERT_EQ(Init(), 1);

    EXPECT_EQ(SimPadCalls(broken), fault.callsOnBrokenPad);
    for (const SimDeviceRecord* device : SimPadDevices(broken))
        EXPECT_EQ(device->refs, 0);
    EXPECT_EQ(SimPadCalls(working), SetUpCalls);
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), -1);
    EXPECT_EQ(JoystickExamine(1), 0);
}

const SetUpFault setUpFaults[] = {
    {"CreateDeviceEx", Failing(&SimPadFaults::createDevice), {SimCall::CreateDeviceEx}},
    {"SetDataFormat",
     Failing(&SimPadFaults::setDataFormat),
     {SimCall::CreateDeviceEx, SimCall::SetDataFormat, SimCall::DeviceRelease}},
    {"RangeX",
     Failing(&SimPadFaults::setRangeX),
     {SimCall::CreateDeviceEx, SimCall::SetDataFormat, SimCall::SetProperty, SimCall::DeviceRelease}},
    {"RangeY",
     Failing(&SimPadFaults::setRangeY),
     {SimCall::CreateDeviceEx, SimCall::SetDataFormat, SimCall::SetProperty, SimCall::SetProperty,
      SimCall::DeviceRelease}},
};

INSTANTIATE_TEST_SUITE_P(Steps, JoystickSetUpFaultTest, ::testing::ValuesIn(setUpFaults),
                         [](const ::testing::TestParamInfo<SetUpFault>& info) { return info.param.step; });

TEST_F(JoystickTest, WithoutAttachedJoysticksInitGivesZeroAndReadersZero)
{
    int unplugged = SimPadPlug();
    SimPadSetAxes(unplugged, 1000, 1000);
    SimPadSetButton(unplugged, 1, true);
    SimPadUnplug(unplugged);

    EXPECT_EQ(Init(), 0);

    EXPECT_TRUE(SimPadDevices(unplugged).empty());
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);
    EXPECT_EQ(DirectInputUsers(), 1);
}

TEST_F(JoystickTest, FailedEnumerationGivesZeroButKeepsJoysticksSetUpBeforeIt)
{
    int first = SimPadPlug();
    int second = SimPadPlug();
    SimPadSetAxes(first, 800, 0);
    SimPadSetEnumFailure(1, DIERR_GENERIC);

    EXPECT_EQ(Init(), 0);

    EXPECT_TRUE(SimPadDevices(second).empty());
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisX(0), 1);
    EXPECT_EQ(JoystickExamine(1), 0);

    // The next enumeration releases it as any other.
    SimPadSetEnumFailure(-1, DI_OK);
    const SimDeviceRecord* kept = SimPadDevices(first).back();
    EXPECT_EQ(Init(), 2);
    EXPECT_EQ(kept->refs, 0);
}

TEST_F(JoystickTest, RepeatedInitReleasesEveryDeviceAndNumbersAgainFromZero)
{
    int first = SimPadPlug();
    int second = SimPadPlug();
    SimPadSetAxes(second, 0, 1000);
    ASSERT_EQ(Init(), 2);
    const SimDeviceRecord* oldFirst = SimPadDevices(first).back();
    const SimDeviceRecord* oldSecond = SimPadDevices(second).back();

    SimPadUnplug(first);
    SimPadClearLog();
    ASSERT_EQ(Init(), 1);

    EXPECT_EQ(oldFirst->refs, 0);
    EXPECT_EQ(oldSecond->refs, 0);
    // Released without Unacquire, before the new enumeration.
    ASSERT_GE(SimPadLog().size(), 3u);
    EXPECT_EQ(SimPadLog()[0].call, SimCall::DeviceRelease);
    EXPECT_EQ(SimPadLog()[1].call, SimCall::DeviceRelease);
    EXPECT_EQ(SimPadLog()[2].call, SimCall::EnumDevices);
    EXPECT_EQ(SimPadDevices(second).size(), 2u);
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), 1);
    EXPECT_EQ(JoystickExamine(1), 0);
    EXPECT_EQ(DirectInputUsers(), 1);
    EXPECT_EQ(SimDirectInput().createCalls, 1);
}

TEST_F(JoystickTest, AxesCountAsDeflectedOnlyStrictlyBeyond500)
{
    int pad = SimPadPlug();
    ASSERT_EQ(Init(), 1);

    const struct {
        LONG value;
        int direction;
    } cases[] = {
        {-1000, -1}, {-501, -1}, {-500, 0}, {0, 0}, {500, 0}, {501, 1}, {1000, 1}, {LONG_MIN, -1}, {LONG_MAX, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        // X and Y each from their own field.
        SimPadSetAxes(pad, c.value, 0);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadAxisX(0), c.direction);
        EXPECT_EQ(JoystickReadAxisY(0), 0);
        SimPadSetAxes(pad, 0, c.value);
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadAxisX(0), 0);
        EXPECT_EQ(JoystickReadAxisY(0), c.direction);
    }
}

TEST_F(JoystickTest, ButtonNReadsByteNMinusOneAndGives128WhenItsTopBitIsSet)
{
    int pad = SimPadPlug();
    ASSERT_EQ(Init(), 1);

    for (int pressed = 1; pressed <= 32; ++pressed) {
        SCOPED_TRACE(pressed);
        SimPadState(pad) = DIJOYSTATE();
        SimPadSetButton(pad, pressed, true);
        ASSERT_EQ(JoystickExamine(0), 1);
        for (int button = 1; button <= 32; ++button)
            EXPECT_EQ(JoystickReadButton(0, button), button == pressed ? 128 : 0) << "button " << button;
    }
    // Only the top bit of the byte counts.
    const struct {
        BYTE value;
        int read;
    } bytes[] = {{0x7F, 0}, {0x01, 0}, {0x80, 128}, {0xFF, 128}};
    for (const auto& b : bytes) {
        SimPadState(pad).rgbButtons[0] = b.value;
        ASSERT_EQ(JoystickExamine(0), 1);
        EXPECT_EQ(JoystickReadButton(0, 1), b.read) << "byte " << int(b.value);
    }
}

TEST_F(JoystickTest, ReadersInterpretTheLastSnapshotWithoutTouchingTheDevice)
{
    int pad = SimPadPlug();
    SimPadSetAxes(pad, 1000, -1000);
    SimPadSetButton(pad, 1, true);
    ASSERT_EQ(Init(), 1);

    // A joystick's snapshot is all zero until it is first examined.
    SimPadClearLog();
    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);

    EXPECT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(SimPadCalls(pad), (Calls{SimCall::Poll, SimCall::GetDeviceState}));
    EXPECT_EQ(SimPadDevice(pad).stateSizes.back(), 80u);

    SimPadSetAxes(pad, 0, 0);
    SimPadSetButton(pad, 1, false);
    SimPadClearLog();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(JoystickReadAxisX(0), 1);
        EXPECT_EQ(JoystickReadAxisY(0), -1);
        EXPECT_EQ(JoystickReadButton(0, 1), 128);
    }
    EXPECT_TRUE(SimPadLog().empty());
}

TEST_F(JoystickTest, RepeatedInitStartsEveryJoystickFromAZeroSnapshot)
{
    int pad = SimPadPlug();
    SimPadSetAxes(pad, -1000, 1000);
    SimPadSetButton(pad, 1, true);
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);
    ASSERT_EQ(JoystickReadAxisX(0), -1);

    ASSERT_EQ(Init(), 1);

    EXPECT_EQ(JoystickReadAxisX(0), 0);
    EXPECT_EQ(JoystickReadAxisY(0), 0);
    EXPECT_EQ(JoystickReadButton(0, 1), 0);
}

TEST_F(JoystickTest, FailedReadKeepsTheSnapshotAndReacquiresForTheNextExamine)
{
    int pad = SimPadPlug();
    SimPadSetAxes(pad, 1000, 0);
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);

    SimPadLoseAcquisition(pad);
    SimPadSetAxes(pad, -1000, 1000);
    SimPadClearLog();
    EXPECT_EQ(JoystickExamine(0), 0);
    EXPECT_EQ(SimPadCalls(pad), (Calls{SimCall::Poll, SimCall::GetDeviceState, SimCall::Acquire}));
    EXPECT_EQ(JoystickReadAxisX(0), 1);
    EXPECT_EQ(JoystickReadAxisY(0), 0);

    EXPECT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisX(0), -1);
    EXPECT_EQ(JoystickReadAxisY(0), 1);
}

TEST_F(JoystickTest, UnpluggedJoystickFailsEveryExamineWithOneAcquireEach)
{
    int pad = SimPadPlug();
    SimPadSetAxes(pad, 0, 1000);
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);

    SimPadUnplug(pad);
    SimPadClearLog();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(JoystickExamine(0), 0);

    Calls expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), {SimCall::Poll, SimCall::GetDeviceState, SimCall::Acquire});
    EXPECT_EQ(SimPadCalls(pad), expected);
    EXPECT_EQ(JoystickReadAxisY(0), 1);
}

TEST_F(JoystickTest, NumbersNamingNoLiveJoystickGiveZeroAndTouchNoDevice)
{
    int pad = SimPadPlug();
    SimPadSetAxes(pad, 1000, 1000);
    SimPadSetButton(pad, 1, true);
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(JoystickExamine(0), 1);
    SimPadClearLog();

    for (ObjectId joystick : {ObjectId(1), ObjectId(15), ObjectId(16), ObjectId(5000), ObjectId(-2), AutoNumber}) {
        SCOPED_TRACE(joystick);
        EXPECT_EQ(JoystickExamine(joystick), 0);
        EXPECT_EQ(JoystickReadAxisX(joystick), 0);
        EXPECT_EQ(JoystickReadAxisY(joystick), 0);
        EXPECT_EQ(JoystickReadButton(joystick, 1), 0);
    }
    EXPECT_TRUE(SimPadLog().empty());
}

}  // namespace
