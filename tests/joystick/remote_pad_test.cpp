// The pad block across processes: pad_probe, a program with the joystick
// library, runs in a process of its own and gets its DirectInput from our
// dinput.dll, backed by the block this test drives. The test moves
// and breaks the pad, waits for what the probe reports, and reads back every
// DirectInput call the probe's process made.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

// The calls between set-up and release, as examines of pad 0: each a Poll
// and a GetDeviceState, and an Acquire after a failed read. A count of -1
// when anything else is among them.
struct Examines {
    int count = 0;
    int failedReads = 0;
};

Examines CountExamines(const std::string& calls)
{
    std::istringstream words(calls);
    std::string poll, read, acquire;
    Examines seen;
    while (words >> poll) {
        if (poll != "Poll#0" || !(words >> read) || (read != "GetDeviceState#0" && read != "GetDeviceState#0!"))
            return {-1, 0};
        ++seen.count;
        if (read.back() == '!') {
            ++seen.failedReads;
            if (!(words >> acquire) || acquire != "Acquire#0")
                return {-1, 0};
        }
    }
    return seen;
}

const std::string SetUpOne = "Create EnumDevices CreateDeviceEx#0 SetDataFormat#0 SetProperty#0 SetProperty#0 Acquire#0";
const std::string EndOne = "DeviceRelease#0 DirectInputRelease";

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
};

TEST_F(RemotePadTest, ProbeFollowsThePadThroughFailedReadsAndReleasesEverythingAtItsEnd)
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
    // Three reads fail while the probe runs; the move after them still arrives.
    RemotePadFailReads(driver, pad, 3);
    RemotePadSetAxes(driver, pad, Full, -Full);
    RemotePadSetButton(driver, pad, 1, false);
    EXPECT_TRUE(WaitForProbe([](const RemotePadProbe& p) { return p.x == 1 && p.y == -1 && p.button == 0; }));

    ASSERT_EQ(StopProbe(), 0u);
    RemotePadProbe last = RemotePadReadProbe(driver);
    EXPECT_EQ(last.ended, 1);
    EXPECT_EQ(last.examines - last.fresh, 3);

    // Set up and acquired, then one Poll and one GetDeviceState per examine
    // and one Acquire per failed read, nothing else (no SetCooperativeLevel,
    // no Unacquire), then released.
    std::string calls = RemotePadCalls(driver);
    ASSERT_GT(calls.size(), SetUpOne.size() + EndOne.size()) << calls;
    EXPECT_EQ(calls.substr(0, SetUpOne.size()), SetUpOne);
    EXPECT_EQ(calls.substr(calls.size() - EndOne.size()), EndOne);
    Examines examines = CountExamines(calls.substr(SetUpOne.size(), calls.size() - SetUpOne.size() - EndOne.size()));
    EXPECT_EQ(examines.count, last.examines);
    EXPECT_EQ(examines.failedReads, 3);
    EXPECT_EQ(driver.block->directInputRefs, 0);
    EXPECT_EQ(driver.block->devices[pad].refs, 0);
}

}  // namespace
