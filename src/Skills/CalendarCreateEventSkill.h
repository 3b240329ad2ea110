#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.create_event": a new event, one hour from now and one hour long unless told otherwise.
class CalendarCreateEventSkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.create_event";

    CalendarCreateEventSkill(CalendarStore& store, const Scheduler& clock, std::shared_ptr<SkillWorker> worker);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
};
