// make bench: Keyvane.exe beside the least program of its design and a bare
// window, in one run on the simulated pad, so that the noise of a shared
// machine hits all three alike. Prints a table with Keyvane's goals and
// writes every sample summary as JSON.
//
//   keyvane_bench.exe [--json PATH] [--exe PATH] [--quick]
//
// --exe names the Keyvane.exe whose size and imports are reported (the
// 32-bit one ships; by default the one beside this program). --quick takes
// a few samples of everything and exits 1 when any figure has none: a smoke
// run. Otherwise the exit code is 0 whatever falls short.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/bench/bench_report.h"
#include "tests/bench/bench_stats.h"
#include "tests/bench/key_stamps.h"
#include "tests/bench/pe_imports.h"
#include "tests/bench/poll_stamps.h"
#include "tests/bench/process_usage.h"
#include "tests/support/process_resources.h"
#include "tests/support/keyvane_process.h"
#include "tests/support/remote_pad_driver.h"

namespace {

struct Plan {
    int latencySamples;  // per program
    int starts;          // per program
    DWORD usageMs;       // each of the two usage phases
    DWORD trafficMs;
    DWORD settleMs;  // after the start, before any figure
};
constexpr Plan FullPlan = {1000, 10, 30000, 5000, 1000};
constexpr Plan QuickPlan = {5, 1, 1000, 500, 200};

constexpr LONG Full = 1000;
constexpr DWORD KeyTimeoutMs = 2000;
// Mouse moves posted to the windows: 200 Hz.
constexpr double TrafficPeriodMs = 5;
constexpr int PhaseSpreadMs = 11;  // a random wait of 0 to 10 ms: one poll interval

struct Contender {
    const char* exe;
    const char* windowClass;
    RemotePadDriver* pad;  // null for the bare window
    KeyvaneProcess process;
};

RemotePadDriver pads[2];
Contender contenders[BenchPrograms] = {
    {"Keyvane.exe", "WindowClass_0", &pads[BenchKeyvane], {}},
    {"reference_mapper.exe", "ReferenceMapper", &pads[BenchReference], {}},
    {"bare_window.exe", "BareWindow", nullptr, {}},
};
std::mt19937 phases(12);  // fixed: runs differ by the machine, not the draw
std::vector<SampleSet> sets;

bool Launch(Contender& contender)
{
    // Each pad program gets a pad block of its own; it inherits the name.
    if (contender.pad)
        SetEnvironmentVariableA(RemotePadVariable, contender.pad->name);
    if (!ProgramStart(contender.process, contender.exe))
        return false;
    contender.process.window = KeyvaneWaitTopLevel(contender.process, contender.windowClass);
    return contender.process.window != nullptr;
}

void Close(Contender& contender)
{
    if (contender.process.window)
        KeyvaneClose(contender.process);
    KeyvaneForget(contender.process);
}

Summary Keep(const std::string& figure, BenchProgram program, const std::vector<double>& samples)
{
    const Summary summary = Summarize(samples);
    sets.push_back({figure, program, summary});
    return summary;
}

// Process start to visible main window, the three programs taking turns.
void MeasureStarts(const Plan& plan, Summary* out)
{
    std::vector<double> samples[BenchPrograms];
    for (int round = 0; round < plan.starts; ++round) {
        for (int p = 0; p < BenchPrograms; ++p) {
            const long long start = CounterNow();
            if (Launch(contenders[p]))
                samples[p].push_back(CounterMs(CounterNow() - start));
            Close(contenders[p]);
        }
    }
    for (int p = 0; p < BenchPrograms; ++p)
        out[p] = Keep("start-up ms", static_cast<BenchProgram>(p), samples[p]);
}

// One stick push on the pad: milliseconds from the write to the key-down
// seen by the hook, or a negative value when none came in timeoutMs.
double OnePush(RemotePadDriver& pad, DWORD timeoutMs)
{
    Sleep(phases() % PhaseSpreadMs);
    KeyStampsClear();
    RemotePadSetAxes(pad, 0, 0, -Full);
    const long long moved = CounterNow();
    const long long seen = KeyStampsWait(VK_UP, false, moved, timeoutMs);
    RemotePadSetAxes(pad, 0, 0, 0);
    KeyStampsWait(VK_UP, true, moved, timeoutMs);
    return seen ? CounterMs(seen - moved) : -1;
}

// Under traffic: both pads pushed at once, Keyvane's up and the reference's
// down, so that neither waits out the other's push; until the deadline.
void PushesTogether(long long deadline, DWORD timeoutMs, std::vector<double>* latencies, int* missed)
{
    constexpr BYTE keys[2] = {VK_UP, VK_DOWN};
    while (CounterNow() < deadline) {
        Sleep(phases() % PhaseSpreadMs);
        KeyStampsClear();
        RemotePadSetAxes(pads[0], 0, 0, -Full);
        RemotePadSetAxes(pads[1], 0, 0, Full);
        const long long moved = CounterNow();
        long long seen[2] = {};
        // The hook's queue keeps the other key while one is waited for.
        for (int p = 0; p < 2; ++p)
            seen[p] = KeyStampsPeek(keys[p], false, moved, timeoutMs);
        for (int p = 0; p < 2; ++p) {
            RemotePadSetAxes(pads[p], 0, 0, 0);
            if (seen[p])
                latencies[p].push_back(CounterMs(seen[p] - moved));
            else
                ++missed[p];
        }
        KeyStampsWait(VK_UP, true, moved, timeoutMs);
        KeyStampsWait(VK_DOWN, true, moved, timeoutMs);
    }
}

// Pushes on the two pad programs' pads in turn, count each or until the
// deadline (QPC) passes; the latencies of those that came, and the misses.
void Pushes(int count, long long deadline, DWORD timeoutMs, std::vector<double>* latencies, int* missed)
{
    for (int i = 0; i < 2 * count || CounterNow() < deadline; ++i) {
        if (deadline && CounterNow() >= deadline)
            break;
        const int p = i % 2;
        const double ms = OnePush(*contenders[p].pad, timeoutMs);
        if (ms >= 0)
            latencies[p].push_back(ms);
        else
            ++missed[p];
    }
}

struct Traffic {
    long long until;
    LONG endMarks[2];
};

DWORD WINAPI PostTraffic(void* data)
{
    auto* traffic = static_cast<Traffic*>(data);
    long long next = CounterNow();
    for (int n = 0; CounterNow() < traffic->until; ++n) {
        for (int p = 0; p < 2; ++p)
            PostMessageA(contenders[p].process.window, WM_MOUSEMOVE, 0, MAKELPARAM(10 + n % 100, 10 + n % 50));
        next += static_cast<long long>(TrafficPeriodMs / CounterMs(1));
        while (CounterNow() < next)
            Sleep(1);
    }
    for (int p = 0; p < 2; ++p)
        traffic->endMarks[p] = PollMark(*contenders[p].pad);
    return 0;
}

double CounterTicks(DWORD ms)
{
    return ms / CounterMs(1);
}

// Milliseconds of processor time per program over the phase, as % of a core.
void MeasureUsage(DWORD ms, double (&percent)[BenchPrograms])
{
    double before[BenchPrograms];
    for (int p = 0; p < BenchPrograms; ++p)
        before[p] = ProcessCpuMs(contenders[p].process.info.hProcess, contenders[p].exe);
    const long long start = CounterNow();
    Sleep(ms);
    const double wall = CounterMs(CounterNow() - start);
    for (int p = 0; p < BenchPrograms; ++p) {
        const double after = ProcessCpuMs(contenders[p].process.info.hProcess, contenders[p].exe);
        percent[p] = before[p] < 0 || after < 0 ? NoValue : 100 * (after - before[p]) / wall;
    }
}

struct Run {
    Summary starts[BenchPrograms];
    Summary latency[2], trafficLatency[2], polls[2], trafficPolls[2];
    int missed[2] = {}, trafficMissed[2] = {};
    double cpuCentred[BenchPrograms], cpuHeld[BenchPrograms];
    ProcessResources memory[BenchPrograms];
    ExecutableFacts exe;
};

bool MeasureRunning(const Plan& plan, Run& run)
{
    for (Contender& contender : contenders) {
        if (!Launch(contender))
            return false;
        WaitForInputIdle(contender.process.info.hProcess, KeyTimeoutMs);
    }
    Sleep(plan.settleMs);

    std::vector<double> latencies[2];
    Pushes(plan.latencySamples, 0, KeyTimeoutMs, latencies, run.missed);
    for (int p = 0; p < 2; ++p)
        run.latency[p] = Keep("latency ms", static_cast<BenchProgram>(p), latencies[p]);

    Traffic traffic = {CounterNow() + static_cast<long long>(CounterTicks(plan.trafficMs)), {}};
    const LONG trafficMarks[2] = {PollMark(pads[0]), PollMark(pads[1])};
    HANDLE poster = CreateThread(nullptr, 0, PostTraffic, &traffic, 0, nullptr);
    std::vector<double> trafficLatencies[2];
    // The polls just before and just after the traffic bound its gaps.
    PushesTogether(traffic.until, plan.trafficMs + KeyTimeoutMs, trafficLatencies, run.trafficMissed);
    WaitForSingleObject(poster, INFINITE);
    CloseHandle(poster);
    // Let the windows drain the traffic before the idle figures.
    Sleep(plan.settleMs);
    for (int p = 0; p < 2; ++p) {
        run.trafficLatency[p] = Keep("latency under traffic ms", static_cast<BenchProgram>(p), trafficLatencies[p]);
        run.trafficPolls[p] = Keep("poll interval under traffic ms", static_cast<BenchProgram>(p),
                                   PollIntervals(pads[p], trafficMarks[p] - 1, traffic.endMarks[p] + 1));
    }

    const LONG idleMarks[2] = {PollMark(pads[0]), PollMark(pads[1])};
    MeasureUsage(plan.usageMs, run.cpuCentred);
    for (int p = 0; p < 2; ++p)
        run.polls[p] = Keep("poll interval idle ms", static_cast<BenchProgram>(p),
                            PollIntervals(pads[p], idleMarks[p], PollMark(pads[p])));
    for (int p = 0; p < BenchPrograms; ++p)
        ProcessResourcesRead(contenders[p].process.info.hProcess, contenders[p].process.info.dwProcessId,
                             run.memory[p]);

    for (int p = 0; p < 2; ++p)
        RemotePadSetAxes(pads[p], 0, 0, -Full);
    MeasureUsage(plan.usageMs, run.cpuHeld);
    for (int p = 0; p < 2; ++p)
        RemotePadSetAxes(pads[p], 0, 0, 0);
    return true;
}

// Megabytes of a byte count, or no figure where the system tells none.
double Mb(uint64_t bytes)
{
    return bytes ? bytes / (1024.0 * 1024.0) : NoValue;
}

std::vector<Row> Table(const Run& run)
{
    const Summary* const l = run.latency;
    const Summary* const t = run.trafficLatency;
    const Summary* const q = run.polls;
    const Summary* const u = run.trafficPolls;
    std::vector<Row> rows;
    rows.push_back(GoalRow("Stick to key, p50 (ms)", {l[0].p50, l[1].p50, NoValue}, "<= 1.1 x reference", 1.1 * l[1].p50));
    rows.push_back(FactRow("Stick to key, p90 (ms)", {l[0].p90, l[1].p90, NoValue}));
    rows.push_back(GoalRow("Stick to key, p99 (ms)", {l[0].p99, l[1].p99, NoValue}, "<= 1.1 x reference", 1.1 * l[1].p99));
    rows.push_back(FactRow("Stick to key, max (ms)", {l[0].max, l[1].max, NoValue}));
    rows.push_back(FactRow("Stick to key, pushes / missed", {double(l[0].count), double(l[1].count), NoValue}));
    rows.push_back(GoalRow("Poll interval idle, p50 (ms)", {q[0].p50, q[1].p50, NoValue}, "<= 10.8", 10.8));
    rows.push_back(GoalRow("Poll interval idle, p99 (ms)", {q[0].p99, q[1].p99, NoValue}, "<= 11.5", 11.5));
    rows.push_back(FactRow("Traffic: stick to key, p50 (ms)", {t[0].p50, t[1].p50, NoValue}));
    rows.push_back(FactRow("Traffic: stick to key, p99 (ms)", {t[0].p99, t[1].p99, NoValue}));
    rows.push_back(FactRow("Traffic: stick to key, max (ms)", {t[0].max, t[1].max, NoValue}));
    rows.push_back(FactRow("Traffic: pushes seen", {double(t[0].count), double(t[1].count), NoValue}));
    rows.push_back(FactRow("Traffic: pushes missed", {double(run.trafficMissed[0]), double(run.trafficMissed[1]), NoValue}));
    rows.push_back(FactRow("Traffic: polls", {double(u[0].count), double(u[1].count), NoValue}));
    rows.push_back(FactRow("Traffic: poll interval p50 (ms)", {u[0].p50, u[1].p50, NoValue}));
    rows.push_back(FactRow("Traffic: poll interval p99 (ms)", {u[0].p99, u[1].p99, NoValue}));
    rows.push_back(FactRow("Traffic: longest gap between polls (ms)", {u[0].max, u[1].max, NoValue}));
    const double* c = run.cpuCentred;
    const double* h = run.cpuHeld;
    rows.push_back(GoalRow("CPU, stick centred (% of a core)", {c[0], c[1], c[2]}, "<= reference + 0.2", c[1] + 0.2));
    rows.push_back(GoalRow("CPU, direction held (% of a core)", {h[0], h[1], h[2]}, "<= reference + 0.2", h[1] + 0.2));
    const ProcessResources* m = run.memory;
    rows.push_back(GoalRow("Working set (MB)", {Mb(m[0].workingSet), Mb(m[1].workingSet), Mb(m[2].workingSet)},
                           "<= reference + 2", Mb(m[1].workingSet) + 2));
    rows.push_back(FactRow("Private bytes (MB)", {Mb(m[0].privateBytes), Mb(m[1].privateBytes), Mb(m[2].privateBytes)}));
    const Summary* s = run.starts;
    rows.push_back(GoalRow("Start-up, median (ms)", {s[0].p50, s[1].p50, s[2].p50}, "<= 1.3 x bare window", 1.3 * s[2].p50));
    rows.push_back(GoalRow("Keyvane.exe size (KB)", {run.exe.bytes / 1024.0, NoValue, NoValue}, "<= 600", 600));
    rows.push_back(FactRow("Keyvane.exe without debug info (KB)", {run.exe.imageBytes / 1024.0, NoValue, NoValue}));
    return rows;
}

// The imports' row: a verdict on names, not on a number.
Row ImportsRow(const ExecutableFacts& exe)
{
    bool systemOnly = exe.read;
    for (const std::string& name : exe.imports)
        systemOnly = systemOnly && IsSystemDll(name);
    return Row{"Keyvane.exe imports: system DLLs only", {double(exe.imports.size()), NoValue, NoValue},
               "all in the system folder", systemOnly ? Pass : FallsShort};
}

bool Measured(const Run& run)
{
    bool all = run.exe.read && !run.exe.imports.empty();
    for (int p = 0; p < 2; ++p)
        all = all && run.latency[p].count && run.polls[p].count;
    // Processor times come from the host's /proc, read through drive Z:.
    for (int p = 0; p < BenchPrograms; ++p)
        all = all && run.starts[p].count && run.memory[p].workingSet > 0 && run.cpuHeld[p] != NoValue;
    return all;
}

const char* Argument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

bool Flag(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool quick = Flag(argc, argv, "--quick");
    const Plan& plan = quick ? QuickPlan : FullPlan;
    const char* json = Argument(argc, argv, "--json");
    const char* given = Argument(argc, argv, "--exe");
    const std::string exe = given ? given : BesideThisProgram("Keyvane.exe");
    const std::string target = sizeof(void*) == 4 ? "i686" : "x86_64";
    std::printf("bench: %s programs, %s; size and imports of %s\n", target.c_str(),
                target == "i686" ? "the 32-bit Keyvane.exe that ships" : "the x86-64 build of Keyvane.exe",
                exe.c_str());
    std::fflush(stdout);

    for (RemotePadDriver& pad : pads)
        if (!RemotePadCreate(pad) || RemotePadPlug(pad) != 0)
            return std::fprintf(stderr, "bench: no pad block\n"), 1;
    if (!KeyStampsStart())
        return std::fprintf(stderr, "bench: the keyboard hook sees no keys\n"), 1;

    Run run;
    MeasureStarts(plan, run.starts);
    const bool ran = MeasureRunning(plan, run);
    for (Contender& contender : contenders)
        Close(contender);
    KeyStampsStop();
    if (!ran)
        return std::fprintf(stderr, "bench: a program did not start\n"), 1;
    run.exe = ExamineExecutable(exe.c_str());

    std::vector<Row> rows = Table(run);
    rows.push_back(ImportsRow(run.exe));
    rows[4].figure = "Stick to key, pushes (missed: " + std::to_string(run.missed[0]) + " / " +
                     std::to_string(run.missed[1]) + ")";
    PrintTable(stdout, rows);
    std::printf("imports:");
    for (const std::string& name : run.exe.imports)
        std::printf(" %s", name.c_str());
    std::printf("\n");
    if (json && !WriteJson(json, target, sets, rows, run.exe.imports))
        std::fprintf(stderr, "bench: cannot write %s\n", json);
    if (quick && !Measured(run))
        return std::fprintf(stderr, "bench: a figure has no samples\n"), 1;
    return 0;
}
