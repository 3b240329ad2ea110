#include "Diagnostics/SystemMonitor.h"
#include "Support/FileIO.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <string>

namespace {
std::int64_t vmRssFromStatus()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    return 0;
}

// Spends this much CPU time on this thread, however long a busy machine makes it take.
void burnCpu(std::chrono::milliseconds cpuTime)
{
    const auto threadCpu = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    volatile double sink = 0;
    const auto end = threadCpu() + cpuTime;
    while (threadCpu() < end)
        for (int i = 0; i < 1000; ++i)
            sink = sink + std::sqrt(static_cast<double>(i));
}
}  // namespace

TEST(SystemMonitor, FirstSampleReportsNoCpuAndRealMemoryThenABusyLoopShowsCpuUse)
{
    SystemMonitor monitor;
    const auto first = monitor.sample();
    EXPECT_EQ(first.cpuPercentRaw, 0.0);
    const double rss = static_cast<double>(vmRssFromStatus());
    EXPECT_NEAR(static_cast<double>(first.memoryRSS), rss, rss * 0.2);
    burnCpu(std::chrono::milliseconds(300));
    const auto reading = monitor.sample();
    // 300 ms of CPU within however long it took: a busy machine only stretches the wall time.
    EXPECT_GT(reading.cpuPercentRaw, 5.0);
    EXPECT_LT(reading.cpuPercentRaw, 150.0);
    EXPECT_NEAR(reading.cpuPercent, reading.cpuPercentRaw / reading.coreCount, 1e-9);
}

TEST(SystemMonitor, UnreadableProcessFilesGiveZerosNotFailures)
{
    QTemporaryDir dir;
    SystemMonitor monitor(dir.filePath("missing"));
    monitor.sample();
    const auto reading = monitor.sample();
    EXPECT_EQ(reading.memoryRSS, 0);
    EXPECT_EQ(reading.cpuPercentRaw, 0.0);
    EXPECT_GE(reading.coreCount, 1);
}

TEST(SystemMonitor, ParsesCommandNamesWithBlanksAndParentheses)
{
    QTemporaryDir dir;
    // Fields 14 and 15 (utime, stime) are 250 and 50 ticks; the name holds ") (".
    ASSERT_TRUE(FileIO::writeAtomically(
        dir.filePath("stat"), "123 (odd) (name) S 1 1 1 0 -1 4194304 100 0 0 0 250 50 0 0 20 0 1 0 100 1000 10\n"));
    ASSERT_TRUE(FileIO::writeAtomically(dir.filePath("statm"), "1000 200 50 10 0 100 0\n"));
    SystemMonitor monitor(dir.path());
    const auto first = monitor.sample();
    EXPECT_EQ(first.memoryRSS, 200 * sysconf(_SC_PAGESIZE));
    ASSERT_TRUE(FileIO::writeAtomically(
        dir.filePath("stat"), "123 (odd) (name) S 1 1 1 0 -1 4194304 100 0 0 0 350 50 0 0 20 0 1 0 100 1000 10\n"));
    const auto second = monitor.sample();
    EXPECT_GT(second.cpuPercentRaw, 0.0) << "100 more ticks of user time must count";
}
