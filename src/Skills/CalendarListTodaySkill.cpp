#include "Skills/CalendarListTodaySkill.h"

#include "Skills/CalendarCall.h"

#include <limits>

namespace {
void listToday(CalendarCall& call)
{
    const QDateTime from = call.now().date().startOfDay();
    call.list(from, from.addDays(1),
              {"speech.calendar.today_none", "speech.calendar.today_one", "speech.calendar.today"},
              std::numeric_limits<qsizetype>::max());
}
}  // namespace

CalendarListTodaySkill::CalendarListTodaySkill(CalendarStore& store, const Scheduler& clock,
                                               std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, false, listToday, store, clock, std::move(worker))
{
}
