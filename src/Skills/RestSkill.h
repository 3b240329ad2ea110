#pragma once

#include "Skills/Skill.h"

class RestCommand;
class Scheduler;

// "system.rest": sends the assistant on a break of 5 to 480 minutes (60 when unsaid) and
// confirms it with the wake phrase. The engine owns what resting means.
class RestSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "system.rest";

    // `command` and `clock` must outlive the skill.
    RestSkill(RestCommand& command, const Scheduler& clock);

    // The "minutes" argument, trimmed of spaces and tabs, as a strict integer clamped to
    // 5...480; 60 when absent, blank or not a whole number.
    static int minutes(const SkillArgs& args);
    // The spoken confirmation in the language given, also used by the engine's own rest
    // button: the length in hours and minutes, and how to wake the assistant.
    static QString confirmation(int minutes, AppLanguage language);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;

private:
    RestCommand& m_command;
    const Scheduler& m_clock;
};
