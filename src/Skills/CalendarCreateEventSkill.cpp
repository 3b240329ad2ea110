#include "Skills/CalendarCreateEventSkill.h"

#include "Skills/CalendarCall.h"
#include "Support/Text.h"

namespace {
void createEvent(CalendarCall& call)
{
    const std::optional<CalendarCall::Dates> dates = call.readDates({QStringLiteral("start"), QStringLiteral("end")});
    if (!dates || !call.reachable())
        return;
    const SkillArgs& args = call.args();
    CalendarEvent event;
    event.id = Text::newUuid();
    event.title = args.value(QStringLiteral("title"), call.text("speech.calendar.default_title"));
    event.start = dates->value(QStringLiteral("start"), call.now().addSecs(3600));
    event.end = dates->value(QStringLiteral("end"), event.start.addSecs(3600));
    event.location = args.value(QStringLiteral("location"));
    event.notes = args.value(QStringLiteral("notes"));
    if (event.end < event.start) {
        call.answer(call.text("speech.calendar.end_before_start"));
        return;
    }
    call.add(event, call.text("speech.calendar.created").arg(event.title));
}
}  // namespace

CalendarCreateEventSkill::CalendarCreateEventSkill(CalendarStore& store, const Scheduler& clock,
                                                   std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, true, createEvent, store, clock, std::move(worker))
{
}

QString CalendarCreateEventSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language)
        .arg(args.value(QStringLiteral("title"), L10n::t(QStringLiteral("skill.untitled"), language)),
             args.value(QStringLiteral("start"), QStringLiteral("?")));
}
