#pragma once

#include "Skills/Skill.h"
#include "Support/Scheduler.h"

#include <list>

class SystemMonitor;

// "system.app_resources": the application's own resident memory and its CPU use averaged
// over a 0.3-second pause between two samples.
class SystemAppResourcesSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "system.app_resources";

    // `monitor` and `scheduler` must outlive the skill.
    SystemAppResourcesSkill(SystemMonitor& monitor, Scheduler& scheduler);

    // Answers after the pause; a run still waiting when the skill is destroyed never answers.
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;

private:
    SystemMonitor& m_monitor;
    Scheduler& m_scheduler;
    std::list<SingleShot> m_pauses;  // one per run in progress
};
