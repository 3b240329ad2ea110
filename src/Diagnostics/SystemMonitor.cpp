#include "Diagnostics/SystemMonitor.h"

#include "Support/FileIO.h"

#include <QList>

#include <algorithm>
#include <unistd.h>

SystemMonitor::SystemMonitor(QString procSelf) : m_procSelf(std::move(procSelf))
{
}

std::int64_t SystemMonitor::residentBytes() const
{
    // statm: size resident shared text lib data dt, in pages.
    const auto statm = FileIO::readAll(m_procSelf + QStringLiteral("/statm"));
    if (!statm)
        return 0;
    const QList<QByteArray> fields = statm->simplified().split(' ');
    bool ok = false;
    const qint64 pages = fields.size() > 1 ? fields.at(1).toLongLong(&ok) : 0;
    return ok ? pages * sysconf(_SC_PAGESIZE) : 0;
}

void SystemMonitor::cpuTimes(double& user, double& system) const
{
    user = system = 0;
    const auto stat = FileIO::readAll(m_procSelf + QStringLiteral("/stat"));
    if (!stat)
        return;
    // The command name (field 2) may hold blanks and parentheses: fields resume after the last ')'.
    const qsizetype close = stat->lastIndexOf(')');
    if (close < 0)
        return;
    const QList<QByteArray> rest = stat->mid(close + 1).simplified().split(' ');
    // rest[0] is field 3 (state); utime and stime are fields 14 and 15.
    if (rest.size() < 13)
        return;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    if (ticks <= 0)
        return;
    user = rest.at(11).toDouble() / ticks;
    system = rest.at(12).toDouble() / ticks;
}

SystemMonitor::Reading SystemMonitor::sample()
{
    Reading reading;
    reading.memoryRSS = residentBytes();
    double user = 0;
    double system = 0;
    cpuTimes(user, system);
    const auto now = std::chrono::steady_clock::now();

    std::lock_guard lock(m_mutex);
    double raw = 0;
    if (m_last) {
        const double dt = std::chrono::duration<double>(now - m_last->taken).count();
        if (dt > 0)
            raw = ((user - m_last->userCPU) + (system - m_last->systemCPU)) / dt * 100.0;
    }
    m_last = Snapshot{user, system, now};
    reading.coreCount = std::max(1, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
    reading.cpuPercentRaw = raw;
    reading.cpuPercent = raw / reading.coreCount;
    return reading;
}
