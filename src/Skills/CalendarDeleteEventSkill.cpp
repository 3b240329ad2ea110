#include "Skills/CalendarDeleteEventSkill.h"

#include "Skills/CalendarCall.h"

namespace {
void deleteEvent(CalendarCall& call)
{
    const QStringList timeKeys = {QStringLiteral("original_start"), QStringLiteral("start")};
    CalendarCall::Dates dates;
    const std::optional<CalendarEvent> event = call.targetEvent(timeKeys, timeKeys, dates);
    if (event)
        call.remove(*event, call.text("speech.calendar.deleted").arg(call.shownTitle(event->title)));
}
}  // namespace

CalendarDeleteEventSkill::CalendarDeleteEventSkill(CalendarStore& store, const Scheduler& clock,
                                                   std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, true, deleteEvent, store, clock, std::move(worker))
{
}

QString CalendarDeleteEventSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    // Named as the event is looked for: by its current start first.
    return L10n::t(summaryKey(), language).arg(firstGiven(args, {"original_start", "start", "id"}));
}
