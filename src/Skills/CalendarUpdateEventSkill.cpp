#include "Skills/CalendarUpdateEventSkill.h"

#include "Skills/CalendarCall.h"

namespace {
// The end of an event that lasted from `start` to `end` and now starts at `moved`: as many days
// and hours later, on the clock (an all-day event still ends at a midnight across a change of
// daylight saving).
QDateTime keepLength(const QDateTime& start, const QDateTime& end, const QDateTime& moved)
{
    const QDateTime from = start.toLocalTime();
    qint64 days = from.date().daysTo(end.toLocalTime().date());
    if (days > 0 && from.addDays(days) > end)
        --days;
    return moved.toLocalTime().addDays(days).addSecs(from.addDays(days).secsTo(end));
}

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
    // Times are touched only when one is given: a rename leaves them as they are.
    if (dates.contains(start)) {
        const QDateTime moved = dates.value(start);
        if (!dates.contains(end) && event.end <= moved)
            event.end = keepLength(event.start, event.end, moved);
        event.start = moved;
    }
    if (dates.contains(end))
        event.end = dates.value(end);
    if ((dates.contains(start) || dates.contains(end)) && event.end <= event.start)
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
    QString text = L10n::t(summaryKey(), language).arg(firstGiven(args, {"title", "original_start", "id"}));
    if (const QString start = args.value(QStringLiteral("start")); !start.isEmpty())
        text += QStringLiteral(" → ") + start;
    return text;
}
