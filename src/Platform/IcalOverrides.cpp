#include "Platform/IcalOverrides.h"

#include "Platform/IcalReader.h"
#include "Platform/IcalTree.h"
#include "Platform/IcalZone.h"

namespace {
using IcalTree::text;

const QString kInstantFormat = QStringLiteral("yyyyMMdd'T'HHmmss'Z'");

QString occurrenceId(const QString& uid, const QDateTime& originalStart)
{
    return uid + QLatin1Char('#') + originalStart.toUTC().toString(kInstantFormat);
}

// The instant an override replaces (its RECURRENCE-ID), or nothing for a master.
std::optional<QDateTime> recurrenceIdOf(icalcomponent* vevent)
{
    icalproperty* property = icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY);
    if (!property)
        return std::nullopt;
    const icaltimetype value = icalproperty_get_recurrenceid(property);
    const QDateTime at = IcalZone(property, value).toDateTime(value);
    return at.isValid() ? std::optional<QDateTime>(at) : std::nullopt;
}

// `at` written the way the series writes its DTSTART (a date, UTC, or the wall-clock time of
// its TZID, which `property` then gets too), so an EXDATE or a RECURRENCE-ID matches it.
icaltimetype likeStart(icalcomponent* master, const QDateTime& at, icalproperty* property)
{
    const icaltimetype start = icalcomponent_get_dtstart(master);
    return IcalZone(icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY), start)
        .toIcal(at, start.is_date, property);
}
}  // namespace

namespace IcalOverrides {

Key keyOf(const QString& id)
{
    const qsizetype hash = id.lastIndexOf(QLatin1Char('#'));
    if (hash > 0) {
        QDateTime at = QDateTime::fromString(id.mid(hash + 1), kInstantFormat);
        if (at.isValid()) {
            at.setTimeSpec(Qt::UTC);
            return {id.left(hash), at};
        }
    }
    return {id, std::nullopt};
}

icalcomponent* masterOf(icalcomponent* calendar, const QString& uid)
{
    for (icalcomponent* vevent : IcalTree::children(calendar, ICAL_VEVENT_COMPONENT))
        if (text(icalcomponent_get_uid(vevent)) == uid &&
            !icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
            return vevent;
    return nullptr;
}

Overrides overridesOf(icalcomponent* calendar, const QString& uid)
{
    Overrides found;
    for (icalcomponent* vevent : IcalTree::children(calendar, ICAL_VEVENT_COMPONENT))
        if (text(icalcomponent_get_uid(vevent)) == uid)
            if (const std::optional<QDateTime> at = recurrenceIdOf(vevent))
                found.append({vevent, *at});
    return found;
}

QHash<QString, Overrides> overridesByUid(const QList<icalcomponent*>& vevents)
{
    QHash<QString, Overrides> found;
    for (icalcomponent* vevent : vevents)
        if (const std::optional<QDateTime> at = recurrenceIdOf(vevent))
            found[text(icalcomponent_get_uid(vevent))].append({vevent, *at});
    return found;
}

Occurrences occurrencesBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                               const QDateTime& from, const QDateTime& to, IcalRecurrence::Budget& budget)
{
    Occurrences found;
    const QSet<qint64> excluded = IcalRecurrence::excluded(master);
    QSet<qint64> replaced;
    for (const auto& [override, original] : overrides) {
        replaced.insert(original.toSecsSinceEpoch());
        std::optional<CalendarEvent> changed = IcalReader::eventOf(override);
        if (!changed || excluded.contains(original.toSecsSinceEpoch()) || !changed->overlaps(from, to))
            continue;
        changed->id = occurrenceId(series.id, original);
        found.events.append(*changed);
    }
    const qint64 length = series.start.secsTo(series.end);
    const IcalRecurrence::Starts starts = IcalRecurrence::between(master, excluded, length, from, to, budget);
    for (const QDateTime& start : starts.starts) {
        if (replaced.contains(start.toSecsSinceEpoch()))
            continue;
        CalendarEvent occurrence = series;
        occurrence.id = occurrenceId(series.id, start);
        occurrence.start = start;
        occurrence.end = start.addSecs(length);
        found.events.append(occurrence);
    }
    found.cut = starts.cut;
    return found;
}

std::optional<CalendarEvent> occurrenceAt(icalcomponent* master, const CalendarEvent& series,
                                          const Overrides& overrides, const QDateTime& at)
{
    const QSet<qint64> excluded = IcalRecurrence::excluded(master);
    if (excluded.contains(at.toSecsSinceEpoch()))
        return std::nullopt;
    std::optional<CalendarEvent> occurrence;
    for (const auto& [override, replaced] : overrides)
        if (replaced == at)
            occurrence = IcalReader::eventOf(override);
    IcalRecurrence::Budget budget;
    if (!occurrence && IcalRecurrence::between(master, excluded, 0, at, at.addSecs(1), budget).starts.contains(at)) {
        occurrence = series;
        occurrence->start = at;
        occurrence->end = at.addSecs(series.start.secsTo(series.end));
    }
    if (occurrence)
        occurrence->id = occurrenceId(series.id, at);
    return occurrence;
}

icalcomponent* overrideFor(icalcomponent* calendar, icalcomponent* master, const QDateTime& originalStart)
{
    const QString uid = text(icalcomponent_get_uid(master));
    for (const auto& [existing, replaced] : overridesOf(calendar, uid))
        if (replaced == originalStart)
            return existing;
    icalcomponent* override = icalcomponent_new_clone(master);
    for (const icalproperty_kind kind :
         {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY, ICAL_RECURRENCEID_PROPERTY})
        IcalTree::removeProperties(override, kind);
    icalproperty* recurrenceId = icalproperty_new_recurrenceid(icaltime_null_time());
    icalproperty_set_recurrenceid(recurrenceId, likeStart(master, originalStart, recurrenceId));
    icalcomponent_add_property(override, recurrenceId);
    icalcomponent_add_component(calendar, override);
    return override;
}

void removeOccurrence(icalcomponent* calendar, icalcomponent* master, const QDateTime& originalStart)
{
    const QString uid = text(icalcomponent_get_uid(master));
    for (const auto& [override, replaced] : overridesOf(calendar, uid))
        if (replaced == originalStart)
            IcalTree::removeChild(calendar, override);
    icalproperty* exdate = icalproperty_new_exdate(icaltime_null_time());
    icalproperty_set_exdate(exdate, likeStart(master, originalStart, exdate));
    icalcomponent_add_property(master, exdate);
}

}  // namespace IcalOverrides
