// The remote pad, end to end: pad_probe, a program with the joystick library
// and no simulation, runs in a process of its own and gets its DirectInput
// from our dinput.dll, backed by the block this test drives. The test moves
// and breaks the pad, waits for what the probe reports, and reads back every
// DirectInput call the probe's process made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/dinput_ids.h"
#include "tests/support/remote_pad_driver.h"

namespace {

constexpr DWORD WaitBoundMs = 20000;
constexpr LONG Full = 1000;

std::string BesideThisProgram(const char* file)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

// "Name", then "#pad" for a device call and "!" when the call failed.
std::string Describe(const std::vector<RemotePadRecord>& records, size_t begin, size_t end)
{
    static const char* const names[] = {
        "Create", "EnumDevices", "CreateDeviceEx", "DirectInputRelease", "SetDataFormat", "SetProperty",
        "SetCooperativeLevel", "Acquire", "Unacquire", "Poll", "GetDeviceState", "DeviceRelease", "Other",
    };
    static_assert(sizeof(names) / sizeof(names[0]) == RemoteCallKinds, "a name for every call kind");
    std::string text;
    for (size_t i = begin; i < end && i < records.size(); ++i) {
        const RemotePadRecord& record = records[i];
        text += text.empty() ? "" : " ";
        text += record.call >= 0 && record.call < RemoteCallKinds ? names[record.call] : "?";
        if (record.device >= 0)
            text += "#" + std::to_string(record.device);
        if (FAILED(record.result))
            text += "!";
    }
    return text;
}

struct Examines {
    int count = 0;
    int failedReads = 0;
    bool onlyExamines = true;  // nothing but Poll, GetDeviceState, and Acquire after a failed read
};

// Splits the polling part of the log into examines of one device.
Examines SplitExamines(const std::vector<RemotePadRecord>& records, size_t begin, size_t end, int device)
{
    Examines seen;
    auto is = [&](size_t i, RemoteCall call) {
        return i < end && records[i].call == call && records[i].device == device;
    };
    size_t i = begin;
    while (i < end) {
        if (!is(i, RemoteCallPoll) || !is(i + 1, RemoteCallGetDeviceState)) {
            seen.onlyExamines = false;
            return seen;
        }
        ++seen.count;
        bool failed = FAILED(records[i + 1].result);
        i += 2;
        if (failed) {
            ++seen.failedReads;
            if (!is(i, RemoteCallAcquire)) {
                seen.onlyExamines = false;
                return seen;
            }
            ++i;
        }
    }
    return seen;
}

const char* const SetUpOne = "Create EnumDevices CreateDeviceEx#0 SetDataFormat#0 SetProperty#0 SetProperty#0 Acquire#0";
const char* const EndOne = "DeviceRelease#0 DirectInputRelease";

class RemotePadTest : public ::testing::Test {
protected:
    RemotePadDriver driver = {};
    HANDLE child = nullptr;

    void SetUp() override { ASSERT_TRUE(RemotePadCreate(driver)); }

    void TearDown() override
    {
        // A failed test may leave its probe running: it is ended by its handle.
        if (child) {
            RemotePadStopProbe(driver);
            if (WaitForSingleObject(child, WaitBoundMs) != WAIT_OBJECT_0)
                TerminateProcess(child, 1);
            CloseHandle(child);
        }
        RemotePadDestroy(driver);
    }

    // Starts pad_probe, which inherits KEYVANE_PAD and WINEDLLOVERRIDES.
    void StartProbe()
    {
        std::string path = BesideThisProgram("pad_probe.exe");
        std::vector<char> commandLine(path.begin(), path.end());
        commandLine.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << path << ": error " << GetLastError();
        CloseHandle(process.hThread);
        child = process.hProcess;
    }

    // Polls the probe's report until it satisfies the condition, reading the
    // log meanwhile; false when the probe exits first or the bound runs out.
    template <typename Condition>
    bool WaitForProbe(Condition condition)
    {
        DWORD start = GetTickCount();
        for (;;) {
            RemotePadReadLog(driver);
            if (condition(RemotePadReadProbe(driver)))
                return true;
            if (WaitForSingleObject(child, 1) == WAIT_OBJECT_0 || GetTickCount() - start > WaitBoundMs)
                return false;
        }
    }

    // Asks the probe to end and waits for its process; its exit code.
    DWORD StopProbe()
    {
        RemotePadStopProbe(driver);
        DWORD code = STILL_ACTIVE;
        for (DWORD start = GetTickCount(); GetTickCount() - start < WaitBoundMs;) {
            RemotePadReadLog(driver);
            if (WaitForSingleObject(child, 1) == WAIT_OBJECT_0)
                break;
        }
        GetExitCodeProcess(child, &code);
        if (code != STILL_ACTIVE) {
            CloseHandle(child);
            child = nullptr;
        }
        RemotePadReadLog(driver);
        EXPECT_EQ(driver.missed, 0) << "the log was read too rarely";
        return code;
    }

    const std::vector<RemotePadRecord>& Log() { return driver.log; }
};

TEST_F(RemotePadTest, ProbeFollowsTheStickAndButtonAndReleasesEverythingAtItsEnd)
{
    int pad = RemotePadPlug(driver);
    StartProbe();

    ASSERT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.joysticks >= 0 && p.fresh > 0; }))
        << "pad_probe got no fresh snapshot: is dinput.dll beside it and WINEDLLOVERRIDES=dinput=n set?";
    RemotePadProbe centred = RemotePadReadProbe(driver);
    EXPECT_EQ(centred.joysticks, 1);
    EXPECT_EQ(centred.x, 0);
    EXPECT_EQ(centred.y, 0);
    EXPECT_EQ(centred.button, 0);

    RemotePadSetAxes(driver, pad, -Full, Full);
    RemotePadSetButton(driver, pad, 1, true);
    EXPECT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == -1 && p.y == 1 && p.button == 128; }));
    RemotePadSetAxes(driver, pad, Full, -Full);
    RemotePadSetButton(driver, pad, 1, false);
    EXPECT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == 1 && p.y == -1 && p.button == 0; }));

    ASSERT_EQ(StopProbe(), 0u);
    RemotePadProbe last = RemotePadReadProbe(driver);
    EXPECT_EQ(last.ended, 1);

    // Set up and acquired, then one Poll and one GetDeviceState per examine
    // and nothing else (no SetCooperativeLevel, no Unacquire), then released.
    const std::vector<RemotePadRecord>& log = Log();
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(Describe(log, 0, 7), SetUpOne);
    EXPECT_EQ(Describe(log, log.size() - 2, log.size()), EndOne);
    Examines examines = SplitExamines(log, 7, log.size() - 2, 0);
    EXPECT_TRUE(examines.onlyExamines) << Describe(log, 7, log.size() - 2);
    EXPECT_EQ(examines.count, last.examines);
    EXPECT_EQ(examines.failedReads, 0);
    EXPECT_EQ(RemotePadCount(driver, RemoteCallPoll), last.examines);
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 0);
    EXPECT_EQ(RemotePadDeviceRefs(driver, pad), 0);
}

TEST_F(RemotePadTest, PadThatFailsCreationOrIsUnpluggedLeavesTheNextAsJoystickZero)
{
    RemotePadFaults broken;
    broken.createDevice = DIERR_GENERIC;
    int first = RemotePadPlug(driver, broken);
    int second = RemotePadPlug(driver);
    int gone = RemotePadPlug(driver);
    RemotePadUnplug(driver, gone);
    RemotePadSetAxes(driver, first, -Full, Full);
    RemotePadSetAxes(driver, second, Full, -Full);
    RemotePadSetButton(driver, second, 1, true);
    StartProbe();

    EXPECT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == 1 && p.y == -1 && p.button == 128; }));
    ASSERT_EQ(StopProbe(), 0u);
    EXPECT_EQ(RemotePadReadProbe(driver).joysticks, 1);

    const std::vector<RemotePadRecord>& log = Log();
    ASSERT_GE(log.size(), 10u);
    EXPECT_EQ(Describe(log, 0, 8), "Create EnumDevices CreateDeviceEx#0! CreateDeviceEx#1 SetDataFormat#1 "
                                   "SetProperty#1 SetProperty#1 Acquire#1");
    EXPECT_EQ(Describe(log, log.size() - 2, log.size()), "DeviceRelease#1 DirectInputRelease");
    EXPECT_TRUE(SplitExamines(log, 8, log.size() - 2, 1).onlyExamines);
    EXPECT_EQ(RemotePadDeviceRefs(driver, first), 0);
    EXPECT_EQ(RemotePadDeviceRefs(driver, second), 0);
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 0);
}

TEST_F(RemotePadTest, FailedReadsAreRepairedByOneAcquireEach)
{
    int pad = RemotePadPlug(driver);
    RemotePadSetAxes(driver, pad, Full, 0);
    StartProbe();
    ASSERT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == 1; }));

    // Three reads fail while the probe runs; the move after them still arrives.
    RemotePadFailReads(driver, pad, 3);
    RemotePadSetAxes(driver, pad, -Full, 0);
    EXPECT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == -1; }));
    ASSERT_EQ(StopProbe(), 0u);

    RemotePadProbe last = RemotePadReadProbe(driver);
    EXPECT_EQ(last.examines - last.fresh, 3);
    const std::vector<RemotePadRecord>& log = Log();
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(Describe(log, 0, 7), SetUpOne);
    Examines examines = SplitExamines(log, 7, log.size() - 2, 0);
    EXPECT_TRUE(examines.onlyExamines) << Describe(log, 7, log.size() - 2);
    EXPECT_EQ(examines.count, last.examines);
    EXPECT_EQ(examines.failedReads, 3);
    EXPECT_EQ(Describe(log, log.size() - 2, log.size()), EndOne);
}

TEST_F(RemotePadTest, FailingCreationOrEnumerationLeavesTheProbeWithoutJoysticks)
{
    RemotePadPlug(driver);
    RemotePadSetCreateFails(driver, true);
    StartProbe();
    ASSERT_EQ(StopProbe(), 0u);
    EXPECT_EQ(RemotePadReadProbe(driver).joysticks, 0);
    EXPECT_EQ(Describe(Log(), 0, Log().size()), "Create!");
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 0);

    RemotePadDestroy(driver);
    ASSERT_TRUE(RemotePadCreate(driver));
    RemotePadPlug(driver);
    RemotePadSetEnumResult(driver, DIERR_GENERIC);
    StartProbe();
    ASSERT_EQ(StopProbe(), 0u);
    EXPECT_EQ(RemotePadReadProbe(driver).joysticks, 0);
    EXPECT_EQ(Describe(Log(), 0, Log().size()), "Create EnumDevices! DirectInputRelease");
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 0);
}

// dinput.dll in this program, which holds no simulation: DirectInput exists
// only with a block, and its unused methods answer E_NOTIMPL and are logged.
TEST_F(RemotePadTest, DirectInputComesOnlyFromABlockAndRefusesWhatItDoesNotServe)
{
    using Create = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);
    const GUID& directInput7A = sim_iid::DirectInput7A;
    std::string name = driver.name;

    HMODULE library = LoadLibraryA(BesideThisProgram("dinput.dll").c_str());
    ASSERT_TRUE(library);
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(library, "DirectInputCreateEx")));
    ASSERT_TRUE(create);

    SetEnvironmentVariableA(RemotePadVariable, "KeyvanePad.none");
    void* object = &object;
    EXPECT_TRUE(FAILED(create(GetModuleHandleA(nullptr), 0x0700, directInput7A, &object, nullptr)));
    EXPECT_EQ(object, nullptr);

    SetEnvironmentVariableA(RemotePadVariable, name.c_str());
    ASSERT_EQ(create(GetModuleHandleA(nullptr), 0x0700, directInput7A, &object, nullptr), DI_OK);
    ASSERT_NE(object, nullptr);
    auto* directInput = static_cast<IDirectInput7A*>(object);
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 1);
    EXPECT_EQ(directInput->GetDeviceStatus(directInput7A), E_NOTIMPL);
    EXPECT_EQ(directInput->FindDevice(directInput7A, "pad", nullptr), E_NOTIMPL);
    EXPECT_EQ(directInput->Release(), 0u);
    FreeLibrary(library);

    RemotePadReadLog(driver);
    EXPECT_EQ(Describe(Log(), 0, Log().size()), "Create Other! Other! DirectInputRelease");
    EXPECT_EQ(RemotePadDirectInputRefs(driver), 0);
}

}  // namespace
