#include "tests/bench/process_usage.h"

#include <sstream>
#include <string>

namespace {

constexpr double HundredNsPerMs = 10000.0;

double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / HundredNsPerMs;
}

// The host counts processor time in ticks of 1/100 s (USER_HZ on x86).
constexpr double HostTickMs = 10.0;

// The whole of a small host file, or "" when it cannot be read.
std::string ReadHostFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char text[4096];
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    return std::string(text, got);
}

// utime + stime of the host process whose first argument ends in
// \exeName, or -1 when there is none (no /proc: not under Wine).
double HostProcessCpuMs(const char* exeName)
{
    const std::string tail = std::string("\\") + exeName;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    double ms = -1;
    do {
        const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9')
            continue;
        const std::string command = ReadHostFile(dir + "\\cmdline").c_str();
        if (command.size() < tail.size() || command.compare(command.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        // Fields 14 and 15 come after the name in parentheses, which may
        // hold spaces.
        const std::string stat = ReadHostFile(dir + "\\stat");
        const size_t end = stat.rfind(')');
        if (end == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(end + 2));
        std::string field;
        unsigned long long utime = 0, stime = 0;
        for (int i = 3; i < 14 && fields >> field; ++i) {
        }
        if (fields >> utime >> stime)
            ms = (utime + stime) * HostTickMs;
        break;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return ms;
}

}  // namespace

double ProcessCpuMs(HANDLE process, const char* exeName)
{
    const double hostMs = HostProcessCpuMs(exeName);
    if (hostMs >= 0)
        return hostMs;
    FILETIME created, exited, kernel = {}, user = {};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) && FileTimeMs(kernel) + FileTimeMs(user) > 0)
        return FileTimeMs(kernel) + FileTimeMs(user);
    return -1;
}
