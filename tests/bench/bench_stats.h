// Sample summaries: the figures the bench reports for a set of samples.
#pragma once

#include <vector>

struct Summary {
    int count;
    double p50;
    double p90;
    double p99;
    double max;
};

// Nearest-rank percentiles; all zero when there are no samples.
Summary Summarize(std::vector<double> samples);

// A QueryPerformanceCounter difference in milliseconds.
double CounterMs(long long ticks);
// QueryPerformanceCounter now.
long long CounterNow();
