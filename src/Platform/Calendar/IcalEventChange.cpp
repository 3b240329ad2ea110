#include "Platform/Calendar/IcalEventChange.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalZone.h"

namespace {
using IcalContentLine::escaped;

const QList<QByteArray> kZoneParams = {"VALUE", "TZID"};

QByteArray utc(const QDateTime& at)
{
    return at.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

// The line `existing` with a new value, its name and parameters as written but `dropped`; or a
// new line of `name`. Parameters that cannot be read go: a reader would take the new value
// into them.
QByteArray relined(const std::optional<QByteArray>& existing, const QByteArray& name, const QByteArray& value,
                   const QList<QByteArray>& dropped = {})
{
    if (!existing)
        return name + ':' + value;
    const IcalContentLine::Parts parts = IcalContentLine::split(*existing);
    if (!IcalContentLine::readable(parts.params))
        return parts.name + ':' + value;
    return parts.name + IcalContentLine::without(parts.params, dropped) + ':' + value;
}

// The parameters that say how a time is written, as DTSTART writes them.
QByteArray startForm(const IcalComponentText& text)
{
    const std::optional<QByteArray> start = text.line("DTSTART");
    return start ? IcalContentLine::only(IcalContentLine::split(*start).params, kZoneParams) : QByteArray();
}

icaltimetype valueOf(icalproperty* property)
{
    return icalproperty_isa(property) == ICAL_DTEND_PROPERTY ? icalproperty_get_dtend(property)
                                                             : icalproperty_get_dtstart(property);
}

// `at` as `property` writes its time (a date, UTC, the wall clock of its TZID, or floating);
// nothing when that form cannot hold it.
std::optional<QByteArray> inForm(icalproperty* property, const QDateTime& at)
{
    const icaltimetype value = valueOf(property);
    const IcalZone zone(property, value);
    const icaltimetype written = zone.toIcal(at, value.is_date);
    if (zone.toDateTime(written) != at)
        return std::nullopt;
    return QByteArray(icaltime_as_ical_string(written));
}

// The length of an event as a DURATION: whole days for dates (nothing unless it ends at a
// midnight), exact time otherwise.
std::optional<QByteArray> durationOf(const CalendarEvent& event, bool dates)
{
    if (dates) {
        const QDate first = event.start.toLocalTime().date(), last = event.end.toLocalTime().date();
        if (last.startOfDay() != event.end)
            return std::nullopt;
        return "P" + QByteArray::number(first.daysTo(last)) + "D";
    }
    const qint64 seconds = std::max<qint64>(0, event.start.secsTo(event.end));
    QByteArray written = "PT";
    if (seconds >= 3600)
        written += QByteArray::number(seconds / 3600) + 'H';
    if (seconds % 3600 >= 60)
        written += QByteArray::number(seconds % 3600 / 60) + 'M';
    if (seconds % 60 || seconds == 0)
        written += QByteArray::number(seconds % 60) + 'S';
    return written;
}

void setText(IcalComponentText& text, const QByteArray& name, const QString& was, const QString& now)
{
    if (now == was)
        return;
    // An alternative representation would still say the old text.
    text.set(name,
             now.isEmpty() ? QList<QByteArray>() : QList{relined(text.line(name), name, escaped(now), {"ALTREP"})});
}

// The event's start and end as `now` says, in the form they have; `always` writes them even
// where they do not change (an override's own times).
void writeTimes(IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now,
                bool always)
{
    icalproperty* start = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    if (!start)
        return;
    icalproperty* end = icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY);
    icalproperty* duration = end ? nullptr : icalcomponent_get_first_property(vevent, ICAL_DURATION_PROPERTY);
    const bool dates = valueOf(start).is_date;
    // Without an end, an event ends when it starts, or a day later for a date.
    const QDateTime impliedEnd = dates ? now.start.toLocalTime().date().addDays(1).startOfDay() : now.start;
    std::optional<QByteArray> startValue = inForm(start, now.start), endValue, durationValue;
    bool addEnd = !end && !duration && now.end != impliedEnd;
    if (end)
        endValue = inForm(end, now.end);
    else if (addEnd)
        endValue = inForm(start, now.end);
    else if (duration)
        durationValue = durationOf(now, dates);
    const bool fits = startValue && (end || addEnd ? endValue.has_value() : !duration || durationValue.has_value());
    if (!fits) {
        // A date moved to a time of day: both in UTC, as the end must be written as the start.
        startValue = utc(now.start);
        addEnd = !end && !duration && now.end != now.start;
        endValue = utc(now.end);
        if (duration)
            durationValue = durationOf(now, false);
    }
    const QList<QByteArray> dropped = fits ? QList<QByteArray>() : kZoneParams;
    // Read before the start line is replaced: an end added takes the start's form.
    const QByteArray addedForm = fits ? startForm(text) : QByteArray();
    if (always || !fits || now.start != was.start)
        text.set("DTSTART", {relined(text.line("DTSTART"), "DTSTART", *startValue, dropped)});
    if (end && (always || !fits || now.end != was.end))
        text.set("DTEND", {relined(text.line("DTEND"), "DTEND", *endValue, dropped)});
    if (addEnd)
        text.set("DTEND", {"DTEND" + addedForm + ':' + *endValue});
    const std::optional<QByteArray> oldDuration = text.line("DURATION");
    if (duration && oldDuration && IcalContentLine::split(*oldDuration).value.trimmed() != *durationValue)
        text.set("DURATION", {relined(oldDuration, "DURATION", *durationValue)});
}

void stamp(IcalComponentText& text)
{
    const QByteArray now = utc(QDateTime::currentDateTimeUtc());
    for (const char* name : {"DTSTAMP", "LAST-MODIFIED"})
        text.set(name, {relined(text.line(name), name, now)});
}

// A change to an event's times or occurrences is a new revision of it.
void newRevision(IcalComponentText& text, icalcomponent* vevent)
{
    text.set("SEQUENCE",
             {relined(text.line("SEQUENCE"), "SEQUENCE", QByteArray::number(icalcomponent_get_sequence(vevent) + 1))});
}

// `at` in the form of the series' starts, with the parameters that say so, for a property of
// one occurrence.
QByteArray occurrenceLine(const IcalComponentText& text, icalcomponent* vevent, const QByteArray& name,
                          const QDateTime& at)
{
    icalproperty* start = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const std::optional<QByteArray> written = start ? inForm(start, at) : std::nullopt;
    return written ? name + startForm(text) + ':' + *written : name + ':' + utc(at);
}

void revise(IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now,
            bool timesAlways)
{
    setText(text, "SUMMARY", was.title, now.title);
    setText(text, "LOCATION", was.location, now.location);
    setText(text, "DESCRIPTION", was.notes, now.notes);
    const bool moved = now.start != was.start || now.end != was.end;
    if (moved || timesAlways)
        writeTimes(text, vevent, was, now, timesAlways);
    if (moved)
        newRevision(text, vevent);
    stamp(text);
}
}  // namespace

namespace IcalEventChange {

void change(IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now)
{
    if (now == was)
        return;
    revise(text, vevent, was, now, false);
}

QByteArray overrideOf(const IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& occurrence,
                      const CalendarEvent& now)
{
    IcalComponentText override = text;
    for (const char* rule : {"RRULE", "RDATE", "EXDATE", "EXRULE"})
        override.set(rule, {});
    override.set("RECURRENCE-ID", {occurrenceLine(text, vevent, "RECURRENCE-ID", occurrence.start)});
    revise(override, vevent, occurrence, now, true);
    return override.bytes();
}

void exclude(IcalComponentText& text, icalcomponent* vevent, const QDateTime& originalStart)
{
    text.add(occurrenceLine(text, vevent, "EXDATE", originalStart));
    newRevision(text, vevent);
    stamp(text);
}

void pinUid(IcalComponentText& text, icalcomponent* vevent, const QString& uid)
{
    if (const char* own = icalcomponent_get_uid(vevent); own && *own)
        return;
    text.set("UID", {"UID:" + escaped(uid)});
}

}  // namespace IcalEventChange
