#include "Skills/CalendarUpdateEventSkill.h"

#include "Skills/CalendarCall.h"

namespace {
void updateEvent(CalendarCall& call)
{
    const QString originalStart = QStringLiteral("original_start");
    const QString start = QStringLiteral("start");
    const QString end = QStringLiteral("end");
    CalendarCall::Dates dates;
    std::optional<CalendarEvent> found = call.targetEvent({originalStart, start, end}, {originalStart}, dates);
    if (!found)
        return;
    CalendarEvent& event = *found;

    const auto setIfGiven = [&](QString& field, const char* key) {
        // The manifest's example carries empty values, which must not wipe what is there.
        if (const QString value = call.args().value(QLatin1String(key)); !value.isEmpty())
            field = value;
    };
    setIfGiven(event.title, "title");
    setIfGiven(event.location, "location");
    setIfGiven(event.notes, "notes");

    // A new start alone keeps the end while it is still after the start (10:00-11:00 moved to
    // 10:30 ends at 11:00); past it, the event keeps its length (moved to 15:00: 15:00-16:00).
    const qint64 duration = event.start.secsTo(event.end);
    if (dates.contains(start)) {
        event.start = dates.value(start);
        if (!dates.contains(end) && event.end <= event.start)
            event.end = event.start.addSecs(duration > 0 ? duration : 3600);
    }
    if (dates.contains(end))
        event.end = dates.value(end);
    if (event.end <= event.start)
        event.end = event.start.addSecs(3600);
    call.save(event, call.text("speech.calendar.updated").arg(event.title));
}
}  // namespace

CalendarUpdateEventSkill::CalendarUpdateEventSkill(CalendarStore& store, const Scheduler& clock,
                                                   std::shared_ptr<SkillWorker> worker)
    : CalendarSkill(kSkillID, true, updateEvent, store, clock, std::move(worker))
{
}

QString CalendarUpdateEventSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    QString named = QStringLiteral("?");
    for (const char* key : {"title", "original_start", "id"}) {
        if (args.contains(QLatin1String(key))) {
            named = args.value(QLatin1String(key));
            break;
        }
    }
    QString text = L10n::t(summaryKey(), language).arg(named);
    if (const QString start = args.value(QStringLiteral("start")); !start.isEmpty())
        text += QStringLiteral(" → ") + start;
    return text;
}
