#include "Skills/CalendarListTodaySkill.h"

#include <limits>

CalendarListTodaySkill::CalendarListTodaySkill(CalendarStore& store, const Scheduler& clock)
    : CalendarSkill(kSkillID, false, store, clock)
{
}

void CalendarListTodaySkill::run(const SkillArgs&, Completion done)
{
    const QDateTime from = now().date().startOfDay();
    listEvents(from, from.addDays(1), QStringLiteral("오늘 일정은 없어요."), QStringLiteral("오늘 일정 "),
               std::numeric_limits<qsizetype>::max(), done);
}
