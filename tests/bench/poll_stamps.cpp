#include "tests/bench/poll_stamps.h"

#include <algorithm>

#include "tests/bench/bench_stats.h"

LONG PollMark(RemotePadDriver& driver)
{
    return RemotePadRead(&driver.block->readStampNext);
}

std::vector<double> PollIntervals(RemotePadDriver& driver, LONG from, LONG to)
{
    // The newest stamp may be claimed and not yet written; older ones than a
    // ring's length are gone.
    const LONG end = std::min(to, PollMark(driver) - 1);
    LONG first = from;
    if (end - first > RemotePadReadStampCount)
        first = end - RemotePadReadStampCount;
    std::vector<double> intervals;
    RemotePadBlock* block = driver.block;
    for (LONG n = first + 1; n < end; ++n) {
        const long long before = InterlockedCompareExchange64(&block->readStamps[(n - 1) % RemotePadReadStampCount], 0, 0);
        const long long after = InterlockedCompareExchange64(&block->readStamps[n % RemotePadReadStampCount], 0, 0);
        intervals.push_back(CounterMs(after - before));
    }
    return intervals;
}
