#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

// Samples the process's own resident memory and CPU use. CPU use is a rate, so each
// sample is compared with the previous one, whoever took it.
class SystemMonitor {
public:
    struct Reading {
        std::int64_t memoryRSS = 0;  // bytes
        double cpuPercent = 0;  // share of the whole machine: cpuPercentRaw / coreCount
        double cpuPercentRaw = 0;  // percent of one core; can exceed 100
        int coreCount = 1;
    };

    // `procSelf` is the process's /proc directory (replaceable in tests).
    explicit SystemMonitor(QString procSelf = QStringLiteral("/proc/self"));

    // Never fails: unreadable figures count as 0; the first sample reports 0 % CPU.
    Reading sample();

private:
    struct Snapshot {
        double userCPU = 0;  // seconds
        double systemCPU = 0;  // seconds
        std::chrono::steady_clock::time_point taken;  // monotonic, immune to clock steps
    };

    std::int64_t residentBytes() const;
    void cpuTimes(double& user, double& system) const;

    const QString m_procSelf;
    std::mutex m_mutex;
    std::optional<Snapshot> m_last;
};
