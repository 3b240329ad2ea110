#pragma once

#include "Skills/CalendarSkill.h"

// "calendar.list_today": the events of today, from its start to one day later.
class CalendarListTodaySkill final : public CalendarSkill {
public:
    static constexpr const char* kSkillID = "calendar.list_today";

    CalendarListTodaySkill(CalendarStore& store, const Scheduler& clock, std::shared_ptr<SkillWorker> worker);
};
