#include "Skills/CalendarListWeekSkill.h"

#include "Skills/CalendarCall.h"

namespace {
void listWeek(CalendarCall& call)
{
    call.list(call.now(), call.now().addDays(7),
              {"speech.calendar.week_none", "speech.calendar.week_one", "speech.calendar.week"}, 8);
}
}  // namespace

CalendarListWeekSkill::CalendarListWeekSkill(CalendarStore& store, const Scheduler& clock,
                                             std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, false, listWeek, store, clock, std::move(worker))
{
}
