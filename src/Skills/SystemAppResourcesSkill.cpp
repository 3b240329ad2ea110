#include "Skills/SystemAppResourcesSkill.h"

#include "Diagnostics/SystemMonitor.h"
#include "Skills/SkillRegistry.h"

#include <QLocale>

using namespace std::chrono_literals;

SystemAppResourcesSkill::SystemAppResourcesSkill(SystemMonitor& monitor, Scheduler& scheduler)
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID))), m_monitor(monitor),
      m_scheduler(scheduler)
{
}

void SystemAppResourcesSkill::run(const SkillArgs&, Completion done)
{
    // The first sample only sets where the CPU measurement starts.
    m_monitor.sample();
    const auto pause = m_pauses.emplace(m_pauses.end(), m_scheduler);
    pause->start(300ms, [this, pause, done = std::move(done)] {
        const SystemMonitor::Reading reading = m_monitor.sample();
        m_pauses.erase(pause);
        done(QStringLiteral("Parlivox 메모리 %1, CPU %2% (지난 0.3초 평균). GPU 사용률은 Linux 가 일반 권한으로 "
                            "노출하지 않아 측정하지 않아요.")
                 .arg(QLocale::c().formattedDataSize(reading.memoryRSS, 1, QLocale::DataSizeTraditionalFormat),
                      QString::asprintf("%.1f", reading.cpuPercent)));
    });
}
