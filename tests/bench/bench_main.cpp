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

#include <dbghelp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/keyvane_process.h"
#include "tests/support/process_resources.h"
#include "tests/support/remote_pad_driver.h"

namespace {

const double None = NAN;  // a figure the system does not give
constexpr LONG Full = 1000;
constexpr DWORD KeyTimeoutMs = 2000;

struct Plan {
    int pushes, starts;  // per program
    DWORD usageMs, trafficMs, settleMs;
};
constexpr Plan FullPlan = {1000, 10, 30000, 5000, 1000};
constexpr Plan QuickPlan = {5, 1, 1000, 500, 200};

// The table's columns; the first two have a pad block each.
enum { Keyvane, Reference, Bare, Programs };
const char* const Names[Programs] = {"Keyvane", "reference", "bare window"};
const char* const Exes[Programs] = {"Keyvane.exe", "reference_mapper.exe", "bare_window.exe"};
const char* const Classes[Programs] = {"WindowClass_0", "ReferenceMapper", "BareWindow"};
KeyvaneProcess programs[Programs];
RemotePadDriver pads[2];
std::mt19937 phases(12);  // fixed: runs differ by the machine, not the draw

long long Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Ms(long long ticks)
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    return 1000.0 * ticks / frequency.QuadPart;
}

struct Summary {
    int count;
    double p[4];
};
const char* const Stats[4] = {"p50", "p90", "p99", "max"};
struct SampleSet {
    const char* figure;
    int program;
    Summary summary;
};
std::vector<SampleSet> sets;

// Nearest-rank percentiles, kept for the JSON.
Summary Keep(const char* figure, int program, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    auto rank = [&](double f) { return v.empty() ? None : v[std::max<size_t>(std::ceil(f * v.size()), 1) - 1]; };
    sets.push_back({figure, program, {int(v.size()), {rank(0.5), rank(0.9), rank(0.99), rank(1)}}});
    return sets.back().summary;
}

// Injected keys as the system sees them: a low-level hook on a thread of
// its own stamps the first key-down and key-up of each key since the last
// clear, and takes them out of the stream so that they reach no window.
LONG64 stamps[2][256];  // [up][vk]
HANDLE keySeen, hookThread;
DWORD hookThreadId;
bool hooked;

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data)
{
    const long long now = Now();
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(key->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, message, data);
    InterlockedCompareExchange64(&stamps[(key->flags & LLKHF_UP) != 0][key->vkCode & 0xFF], now, 0);
    SetEvent(keySeen);
    return 1;
}

DWORD WINAPI HookThread(void* ready)
{
    // Stamps taken late would count against the programs measured.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    hooked = hook != nullptr;
    SetEvent(ready);
    MSG msg;
    while (hook && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return hook && UnhookWindowsHookEx(hook);
}

void ClearKeys()
{
    for (auto& row : stamps)
        for (LONG64& stamp : row)
            InterlockedExchange64(&stamp, 0);
}

// The stamp of vk's first key-down (key-up when up) since the last clear;
// 0 when none came in timeoutMs.
long long WaitKey(BYTE vk, bool up, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount();;) {
        const long long stamp = InterlockedCompareExchange64(&stamps[up][vk], 0, 0);
        const DWORD waited = GetTickCount() - start;
        if (stamp || waited >= timeoutMs)
            return stamp;
        WaitForSingleObject(keySeen, timeoutMs - waited);
    }
}

// Wine can drop the first injected keys: F24, which no program here
// presses, goes in until the hook sees it.
bool StartKeys()
{
    keySeen = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    hookThread = CreateThread(nullptr, 0, HookThread, ready, 0, &hookThreadId);
    WaitForSingleObject(ready, INFINITE);
    for (int i = 0; hooked && i < 100; ++i) {
        ClearKeys();
        keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, 0);
        if (WaitKey(VK_F24, true, 100))
            return true;
    }
    return false;
}

// A pad program's polls, from the read times that our dinput.dll stamps in
// its block: a mark to measure from, and the intervals between the reads
// from one mark to a later one. The newest stamp may be claimed and not
// yet written; those older than the ring are gone.
LONG PollMark(int p)
{
    return RemotePadRead(&pads[p].block->readStampNext);
}

std::vector<double> PollIntervals(int p, LONG from, LONG to)
{
    LONGLONG* ring = pads[p].block->readStamps;
    auto stamp = [&](LONG n) { return InterlockedCompareExchange64(&ring[n % RemotePadReadStampCount], 0, 0); };
    const LONG end = std::min(to, PollMark(p) - 1);
    std::vector<double> intervals;
    for (LONG n = std::max(from, end - RemotePadReadStampCount) + 1; n < end; ++n)
        intervals.push_back(Ms(stamp(n) - stamp(n - 1)));
    return intervals;
}

bool Launch(int p)
{
    if (p != Bare)
        SetEnvironmentVariableA(RemotePadVariable, pads[p].name);
    return ProgramStart(programs[p], Exes[p]) && (programs[p].window = KeyvaneWaitTopLevel(programs[p], Classes[p]));
}

void Close(int p)
{
    if (programs[p].window)
        KeyvaneClose(programs[p]);
    KeyvaneForget(programs[p]);
}

// One push on the pads first to last at once, at a random phase within one
// poll interval, Keyvane's stick up and the reference's down so that
// neither waits out the other's key: ms from the write to each key-down.
void Push(int first, int last, DWORD timeoutMs, std::vector<double>* latencies, int* missed)
{
    constexpr BYTE keys[2] = {VK_UP, VK_DOWN};
    long long seen[2] = {};
    Sleep(phases() % 11);
    ClearKeys();
    const long long moved = Now();
    for (int p = first; p <= last; ++p)
        RemotePadSetAxes(pads[p], 0, 0, p == Keyvane ? -Full : Full);
    for (int p = first; p <= last; ++p)
        seen[p] = WaitKey(keys[p], false, timeoutMs);
    for (int p = first; p <= last; ++p)
        RemotePadSetAxes(pads[p], 0, 0, 0);
    for (int p = first; p <= last; ++p) {
        WaitKey(keys[p], true, timeoutMs);
        if (seen[p])
            latencies[p].push_back(Ms(seen[p] - moved));
        else
            ++missed[p];
    }
}

// Mouse moves posted to both pad programs' windows at 200 Hz until the
// deadline; the poll marks then.
struct Traffic {
    long long until;
    LONG endMarks[2];
};

DWORD WINAPI PostTraffic(void* data)
{
    auto* traffic = static_cast<Traffic*>(data);
    long long next = Now();
    for (int n = 0; Now() < traffic->until; ++n) {
        for (int p = 0; p < 2; ++p)
            PostMessageA(programs[p].window, WM_MOUSEMOVE, 0, MAKELPARAM(10 + n % 100, 10 + n % 50));
        for (next += static_cast<long long>(5 / Ms(1)); Now() < next;)
            Sleep(1);
    }
    for (int p = 0; p < 2; ++p)
        traffic->endMarks[p] = PollMark(p);
    return 0;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Processor time so far, in ms. Wine keeps no times for other processes:
// they come from the host's /proc through drive Z:, from the process whose
// first argument ends in the executable's name, in ticks of 1/100 s;
// elsewhere from GetProcessTimes. None when neither tells.
double CpuMs(int p)
{
    const std::string tail = std::string("\\") + Exes[p];
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        const std::string arg0 = ReadAll(dir + "\\cmdline").c_str();
        if (arg0.size() < tail.size() || arg0.compare(arg0.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        FindClose(search);
        // utime and stime are fields 14 and 15; the name before them, in
        // parentheses, may hold spaces.
        const std::string stat = ReadAll(dir + "\\stat");
        std::istringstream fields(stat.substr(std::min(stat.rfind(')'), stat.size())));
        std::string skip;
        unsigned long long utime, stime;
        for (int i = 2; i < 14; ++i)
            fields >> skip;
        return fields >> utime >> stime ? (utime + stime) * 10.0 : None;
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    FILETIME t[4];
    auto ms = [](const FILETIME& f) { return (ULONGLONG(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e4; };
    return GetProcessTimes(programs[p].info.hProcess, &t[0], &t[1], &t[2], &t[3]) && ms(t[2]) + ms(t[3]) > 0
               ? ms(t[2]) + ms(t[3])
               : None;
}

// Each program's processor time over the phase, as % of a core.
void MeasureUsage(DWORD ms, double* percent)
{
    double before[Programs];
    for (int p = 0; p < Programs; ++p)
        before[p] = CpuMs(p);
    const long long start = Now();
    Sleep(ms);
    const double wall = Ms(Now() - start);
    for (int p = 0; p < Programs; ++p)
        percent[p] = 100 * (CpuMs(p) - before[p]) / wall;
}

// An executable file's size, the end of its image without the debug
// sections (whose long names are "/n" into the string table) and symbols
// after it, and the DLLs it imports.
struct Executable {
    double kb = None, imageKb = None;
    bool read = false;
    std::vector<std::string> imports;
};

Executable Examine(const std::string& path)
{
    std::string file = ReadAll(path);
    Executable exe;
    IMAGE_NT_HEADERS* headers = file.size() > sizeof(IMAGE_DOS_HEADER) ? ImageNtHeader(&file[0]) : nullptr;
    if (!headers)
        return exe;
    exe.kb = file.size() / 1024.0;
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(headers);
    double end = 0;
    for (int i = 0; i < headers->FileHeader.NumberOfSections; ++i)
        if (sections[i].Name[0] != '/' && std::strncmp(reinterpret_cast<const char*>(sections[i].Name), ".debug", 6))
            end = std::max(end, double(sections[i].PointerToRawData) + sections[i].SizeOfRawData);
    exe.imageKb = end / 1024;
    ULONG size;
    auto* entry = static_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        ImageDirectoryEntryToData(&file[0], FALSE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
    for (exe.read = entry; entry && entry->Name; ++entry) {
        auto* name = static_cast<const char*>(ImageRvaToVa(headers, &file[0], entry->Name, nullptr));
        exe.read = exe.read && name;
        exe.imports.push_back(name ? name : "?");
    }
    return exe;
}

bool SystemDll(const std::string& name)
{
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    return n && n < MAX_PATH && GetFileAttributesA((std::string(dir, n) + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The table: a figure for each program and, where there is one, Keyvane's
// goal, met when its figure is at most the limit. A figure or limit the
// system does not give is reported as such, never passed.
enum Verdict { Reported, Pass, FallsShort };
const char* const Verdicts[] = {"reported", "PASS", "FALLS SHORT"};
struct Row {
    std::string figure;
    double values[Programs];
    std::string goal;
    Verdict verdict;
};
std::vector<Row> rows;

void Add(const std::string& figure, double keyvane, double reference, double bare, const char* goal = nullptr,
         double limit = None)
{
    char text[96] = "";
    const bool told = goal && !std::isnan(keyvane) && !std::isnan(limit);
    if (goal)
        std::snprintf(text, sizeof text, told ? "%s (%.2f)" : "%s (not told here)", goal, limit);
    rows.push_back({figure, {keyvane, reference, bare}, text, !told ? Reported : keyvane <= limit ? Pass : FallsShort});
}

void Print(FILE* out, double value, bool json)
{
    if (std::isnan(value))
        std::fprintf(out, json ? "null" : " %11s", "-");
    else
        std::fprintf(out, json ? "%.4f" : " %11.2f", value);
}

bool WriteJson(const char* path, const char* target, const std::vector<std::string>& imports)
{
    FILE* out = std::fopen(path, "w");
    if (!out)
        return false;
    std::fprintf(out, "{\n  \"target\": \"%s\",\n  \"samples\": [", target);
    for (size_t i = 0; i < sets.size(); ++i) {
        const Summary& s = sets[i].summary;
        std::fprintf(out, "%s\n    {\"figure\": \"%s\", \"program\": \"%s\", \"count\": %d", i ? "," : "",
                     sets[i].figure, Names[sets[i].program], s.count);
        for (int k = 0; k < 4; ++k) {
            std::fprintf(out, ", \"%s\": ", Stats[k]);
            Print(out, s.p[k], true);
        }
        std::fprintf(out, "}");
    }
    std::fprintf(out, "\n  ],\n  \"table\": [");
    for (size_t i = 0; i < rows.size(); ++i) {
        std::fprintf(out, "%s\n    {\"figure\": \"%s\"", i ? "," : "", rows[i].figure.c_str());
        for (int p = 0; p < Programs; ++p) {
            std::fprintf(out, ", \"%s\": ", Names[p]);
            Print(out, rows[i].values[p], true);
        }
        std::fprintf(out, ", \"goal\": \"%s\", \"verdict\": \"%s\"}", rows[i].goal.c_str(), Verdicts[rows[i].verdict]);
    }
    std::fprintf(out, "\n  ],\n  \"imports\": [");
    for (size_t i = 0; i < imports.size(); ++i)
        std::fprintf(out, "%s\"%s\"", i ? ", " : "", imports[i].c_str());
    std::fprintf(out, "]\n}\n");
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    const char *json = nullptr, *exeGiven = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (i + 1 < argc && std::strcmp(argv[i], "--json") == 0)
            json = argv[++i];
        else if (i + 1 < argc && std::strcmp(argv[i], "--exe") == 0)
            exeGiven = argv[++i];
    }
    const Plan& plan = quick ? QuickPlan : FullPlan;
    const std::string exePath = exeGiven ? exeGiven : BesideThisProgram("Keyvane.exe");
    const char* target = sizeof(void*) == 4 ? "i686" : "x86_64";
    std::printf("bench: %s programs, %s; size and imports of %s\n", target,
                sizeof(void*) == 4 ? "the 32-bit Keyvane.exe that ships" : "the x86-64 build of Keyvane.exe",
                exePath.c_str());
    std::fflush(stdout);
    for (RemotePadDriver& pad : pads)
        if (!RemotePadCreate(pad) || RemotePadPlug(pad) != 0)
            return std::fprintf(stderr, "bench: no pad block\n"), 1;
    if (!StartKeys())
        return std::fprintf(stderr, "bench: the keyboard hook sees no keys\n"), 1;

    // Process start to visible main window, the three programs taking turns.
    std::vector<double> starts[Programs];
    for (int round = 0; round < plan.starts; ++round)
        for (int p = 0; p < Programs; ++p) {
            const long long start = Now();
            if (Launch(p))
                starts[p].push_back(Ms(Now() - start));
            Close(p);
        }
    Summary up[Programs], l[2], t[2], q[2], u[2];  // start-up, latency and polls, idle and under traffic
    for (int p = 0; p < Programs; ++p)
        up[p] = Keep("start-up ms", p, starts[p]);

    bool ran = true;
    for (int p = 0; p < Programs && ran; ++p)
        if ((ran = Launch(p)))
            WaitForInputIdle(programs[p].info.hProcess, KeyTimeoutMs);
    double centred[Programs], held[Programs];
    ProcessResources memory[Programs] = {};
    int missed[2] = {}, trafficMissed[2] = {};
    if (ran) {
        Sleep(plan.settleMs);
        std::vector<double> latencies[2], trafficLatencies[2];
        for (int i = 0; i < 2 * plan.pushes; ++i)
            Push(i % 2, i % 2, KeyTimeoutMs, latencies, missed);

        // Under traffic both pads are pushed at once; the polls just before
        // and just after it bound its gaps.
        Traffic traffic = {Now() + static_cast<long long>(plan.trafficMs / Ms(1)), {}};
        const LONG trafficMarks[2] = {PollMark(0), PollMark(1)};
        HANDLE poster = CreateThread(nullptr, 0, PostTraffic, &traffic, 0, nullptr);
        while (Now() < traffic.until)
            Push(0, 1, plan.trafficMs + KeyTimeoutMs, trafficLatencies, trafficMissed);
        WaitForSingleObject(poster, INFINITE);
        CloseHandle(poster);
        // Let the windows drain the traffic before the idle figures.
        Sleep(plan.settleMs);
        for (int p = 0; p < 2; ++p) {
            l[p] = Keep("latency ms", p, latencies[p]);
            t[p] = Keep("latency under traffic ms", p, trafficLatencies[p]);
            u[p] = Keep("poll interval under traffic ms", p,
                        PollIntervals(p, trafficMarks[p] - 1, traffic.endMarks[p] + 1));
        }

        const LONG idleMarks[2] = {PollMark(0), PollMark(1)};
        MeasureUsage(plan.usageMs, centred);
        for (int p = 0; p < 2; ++p)
            q[p] = Keep("poll interval idle ms", p, PollIntervals(p, idleMarks[p], PollMark(p)));
        for (int p = 0; p < Programs; ++p)
            ProcessResourcesRead(programs[p].info.hProcess, programs[p].info.dwProcessId, memory[p]);
        for (int p = 0; p < 2; ++p)
            RemotePadSetAxes(pads[p], 0, 0, -Full);
        MeasureUsage(plan.usageMs, held);
        for (int p = 0; p < 2; ++p)
            RemotePadSetAxes(pads[p], 0, 0, 0);
    }
    for (int p = 0; p < Programs; ++p)
        Close(p);
    PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread, INFINITE);
    if (!ran)
        return std::fprintf(stderr, "bench: a program did not start\n"), 1;

    const Executable exe = Examine(exePath);
    double ws[Programs], pb[Programs];
    for (int p = 0; p < Programs; ++p) {
        ws[p] = memory[p].workingSet ? memory[p].workingSet / 1048576.0 : None;
        pb[p] = memory[p].privateBytes ? memory[p].privateBytes / 1048576.0 : None;
    }
    const std::string pushes =
        "Stick to key, pushes (missed: " + std::to_string(missed[0]) + " / " + std::to_string(missed[1]) + ")";
    Add("Stick to key, p50 (ms)", l[0].p[0], l[1].p[0], None, "<= 1.1 x reference", 1.1 * l[1].p[0]);
    Add("Stick to key, p90 (ms)", l[0].p[1], l[1].p[1], None);
    Add("Stick to key, p99 (ms)", l[0].p[2], l[1].p[2], None, "<= 1.1 x reference", 1.1 * l[1].p[2]);
    Add("Stick to key, max (ms)", l[0].p[3], l[1].p[3], None);
    Add(pushes, l[0].count, l[1].count, None);
    Add("Poll interval idle, p50 (ms)", q[0].p[0], q[1].p[0], None, "<= 10.8", 10.8);
    Add("Poll interval idle, p99 (ms)", q[0].p[2], q[1].p[2], None, "<= 11.5", 11.5);
    Add("Traffic: stick to key, p50 (ms)", t[0].p[0], t[1].p[0], None);
    Add("Traffic: stick to key, p99 (ms)", t[0].p[2], t[1].p[2], None);
    Add("Traffic: stick to key, max (ms)", t[0].p[3], t[1].p[3], None);
    Add("Traffic: pushes seen", t[0].count, t[1].count, None);
    Add("Traffic: pushes missed", trafficMissed[0], trafficMissed[1], None);
    Add("Traffic: polls", u[0].count, u[1].count, None);
    Add("Traffic: poll interval p50 (ms)", u[0].p[0], u[1].p[0], None);
    Add("Traffic: poll interval p99 (ms)", u[0].p[2], u[1].p[2], None);
    Add("Traffic: longest gap between polls (ms)", u[0].p[3], u[1].p[3], None);
    Add("CPU, stick centred (% of a core)", centred[0], centred[1], centred[2], "<= reference + 0.2", centred[1] + 0.2);
    Add("CPU, direction held (% of a core)", held[0], held[1], held[2], "<= reference + 0.2", held[1] + 0.2);
    Add("Working set (MB)", ws[0], ws[1], ws[2], "<= reference + 2", ws[1] + 2);
    Add("Private bytes (MB)", pb[0], pb[1], pb[2]);
    Add("Start-up, median (ms)", up[0].p[0], up[1].p[0], up[2].p[0], "<= 1.3 x bare window", 1.3 * up[2].p[0]);
    Add("Keyvane.exe size (KB)", exe.kb, None, None, "<= 600", 600);
    Add("Keyvane.exe without debug info (KB)", exe.imageKb, None, None);
    // A verdict on names, not on a number.
    bool systemOnly = exe.read;
    for (const std::string& name : exe.imports)
        systemOnly = systemOnly && SystemDll(name);
    rows.push_back({"Keyvane.exe imports: system DLLs only", {double(exe.imports.size()), None, None},
                    "all in the system folder", systemOnly ? Pass : FallsShort});

    std::printf("%-38s %11s %11s %11s  %s\n", "Figure", Names[0], Names[1], Names[2], "Goal for Keyvane");
    for (const Row& row : rows) {
        std::printf("%-38s", row.figure.c_str());
        for (double value : row.values)
            Print(stdout, value, false);
        std::printf("  %-30s %s\n", row.goal.empty() ? "reported" : row.goal.c_str(),
                    row.verdict == Reported ? "" : Verdicts[row.verdict]);
    }
    std::printf("imports:");
    for (const std::string& name : exe.imports)
        std::printf(" %s", name.c_str());
    std::printf("\n");
    if (json && !WriteJson(json, target, exe.imports))
        std::fprintf(stderr, "bench: cannot write %s\n", json);
    bool measured = exe.read && !exe.imports.empty();
    for (int p = 0; p < Programs; ++p)
        measured = measured && up[p].count && memory[p].workingSet && !std::isnan(held[p]) &&
                   (p == Bare || (l[p].count && q[p].count));
    if (quick && !measured)
        return std::fprintf(stderr, "bench: a figure has no samples\n"), 1;
    return 0;
}
