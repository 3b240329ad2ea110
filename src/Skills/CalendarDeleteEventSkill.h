#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.delete_event": removes the event named by "id", or starting near "original_start" or "start".
class CalendarDeleteEventSkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.delete_event";

    CalendarDeleteEventSkill(CalendarStore& store, const Scheduler& clock);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
    void run(const SkillArgs& args, Completion done) override;
};
