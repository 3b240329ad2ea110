#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.delete_event": removes the event named by "id", or starting near "original_start" or "start".
class CalendarDeleteEventSkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.delete_event";

    CalendarDeleteEventSkill(CalendarStore& store, const Scheduler& clock, std::shared_ptr<SkillWorker> worker);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
};
