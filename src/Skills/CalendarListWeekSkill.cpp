#include "Skills/CalendarListWeekSkill.h"

#include "Skills/CalendarCall.h"

namespace {
void listWeek(CalendarCall& call)
{
    call.list(call.now(), call.now().addDays(7), QStringLiteral("이번 주는 일정이 없네요."),
              QStringLiteral("이번 주 일정 "), 8);
}
}  // namespace

CalendarListWeekSkill::CalendarListWeekSkill(CalendarStore& store, const Scheduler& clock,
                                             std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, false, listWeek, store, clock, std::move(worker))
{
}
