#include "tests/bench/bench_stats.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

double Rank(const std::vector<double>& sorted, double fraction)
{
    size_t rank = static_cast<size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::max<size_t>(rank, 1) - 1];
}

}  // namespace

Summary Summarize(std::vector<double> samples)
{
    if (samples.empty())
        return Summary{0, 0, 0, 0, 0};
    std::sort(samples.begin(), samples.end());
    return Summary{static_cast<int>(samples.size()), Rank(samples, 0.5), Rank(samples, 0.9), Rank(samples, 0.99),
                   samples.back()};
}

double CounterMs(long long ticks)
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

long long CounterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}
