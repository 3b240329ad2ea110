#include "Skills/CalendarListWeekSkill.h"

CalendarListWeekSkill::CalendarListWeekSkill(CalendarStore& store, const Scheduler& clock)
    : CalendarSkill(kSkillID, false, store, clock)
{
}

void CalendarListWeekSkill::run(const SkillArgs&, Completion done)
{
    const QDateTime from = now();
    listEvents(from, from.addDays(7), QStringLiteral("이번 주는 일정이 없네요."), QStringLiteral("이번 주 일정 "), 8,
               done);
}
