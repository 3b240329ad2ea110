#pragma once

#include <algorithm>
#include <ctime>
#include <vector>

// The CPU time of the whole process (every thread) in seconds: what always-on work costs,
// whatever else runs on the machine.
inline double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// A repetition statistic beside Google Benchmark's mean and median: on a loaded machine the
// smallest of several repetitions is the one least disturbed by others' work.
inline double minimum(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}
