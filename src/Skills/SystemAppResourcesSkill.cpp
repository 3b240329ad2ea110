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

void SystemAppResourcesSkill::run(const SkillArgs&, AppLanguage language, Completion done)
{
    // The first sample only sets where the CPU measurement starts.
    m_monitor.sample();
    const auto pause = m_pauses.emplace(m_pauses.end(), m_scheduler);
    pause->start(300ms, [this, pause, language, done = std::move(done)] {
        const SystemMonitor::Reading reading = m_monitor.sample();
        m_pauses.erase(pause);
        const QLocale locale = L10n::locale(language);
        done(L10n::t(QStringLiteral("speech.resources"), language)
                 .arg(locale.formattedDataSize(reading.memoryRSS, 1, QLocale::DataSizeTraditionalFormat),
                      locale.toString(reading.cpuPercent, 'f', 1)));
    });
}
