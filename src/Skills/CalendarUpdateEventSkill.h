#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.update_event": changes the event named by "id" or by its current start ("original_start";
// "start" is the new start and never used to find it). Only non-empty values change a field, and
// a new start alone keeps the duration.
class CalendarUpdateEventSkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.update_event";

    CalendarUpdateEventSkill(CalendarStore& store, const Scheduler& clock, std::shared_ptr<SkillWorker> worker);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
};
