#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.list_week": the events of the next seven days from now, counted in full, eight listed.
class CalendarListWeekSkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.list_week";

    CalendarListWeekSkill(CalendarStore& store, const Scheduler& clock, std::shared_ptr<SkillWorker> worker);
};
