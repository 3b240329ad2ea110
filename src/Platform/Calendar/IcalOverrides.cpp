#include "Platform/Calendar/IcalOverrides.h"

#include "Platform/Calendar/IcalReader.h"
#include "Platform/Calendar/IcalZone.h"

#include <algorithm>

namespace {
using IcalIdentity::Component;

const QString kInstantFormat = QStringLiteral("yyyyMMdd'T'HHmmss'Z'");

// The occurrence of the series' rules that starts at `start`, as no override changes it.
CalendarEvent generated(const CalendarEvent& series, const IcalRecurrence::Span& span,
                        const IcalRecurrence::Starts& starts, const QDateTime& start)
{
    CalendarEvent occurrence = series;
    occurrence.id = IcalOverrides::occurrenceId(series.id, start);
    occurrence.start = start;
    occurrence.end = starts.ends.value(start.toSecsSinceEpoch(), span.endOf(start));
    return occurrence;
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

QString occurrenceId(const QString& uid, const QDateTime& originalStart)
{
    return uid + QLatin1Char('#') + originalStart.toUTC().toString(kInstantFormat);
}

bool ofDates(icalcomponent* vevent)
{
    return icalcomponent_get_dtstart(vevent).is_date;
}

std::optional<QDateTime> replacedBy(icalcomponent* override, bool seriesOfDates)
{
    icalproperty* property = icalcomponent_get_first_property(override, ICAL_RECURRENCEID_PROPERTY);
    if (!property)
        return std::nullopt;
    icaltimetype value = icalproperty_get_recurrenceid(property);
    if (seriesOfDates)
        value.is_date = 1;
    const QDateTime at = IcalZone(property, value).toDateTime(value);
    return at.isValid() ? std::optional<QDateTime>(at) : std::nullopt;
}

Overrides overridesOf(const QList<Component>& components, const QString& uid, std::optional<bool> seriesOfDates)
{
    Overrides found;
    for (const Component& component : components) {
        const std::optional<QDateTime> at =
            replacedBy(component.vevent, seriesOfDates.value_or(ofDates(component.vevent)));
        if (!at || IcalIdentity::uidOf(component.vevent) != uid)
            continue;
        const Override override{component.vevent, *at, IcalIdentity::rankOf(component)};
        const auto same =
            std::find_if(found.begin(), found.end(), [&](const Override& o) { return o.replaces == *at; });
        if (same == found.end())
            found.append(override);
        else if (IcalIdentity::wins(override.rank, same->rank))
            *same = override;
    }
    return found;
}

const Override* overrideAt(const Overrides& overrides, const QDateTime& originalStart)
{
    const auto found = std::find_if(overrides.begin(), overrides.end(),
                                    [&](const Override& override) { return override.replaces == originalStart; });
    return found == overrides.end() ? nullptr : &*found;
}

std::optional<CalendarEvent> occurrenceOf(const Override& override, const QString& uid)
{
    std::optional<CalendarEvent> occurrence = IcalReader::eventOf(override.vevent);
    if (occurrence)
        occurrence->id = occurrenceId(uid, override.replaces);
    return occurrence;
}

QList<CalendarEvent> changedBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                                    const QDateTime& from, const QDateTime& to)
{
    QList<CalendarEvent> found;
    if (overrides.isEmpty())
        return found;
    const QSet<qint64> excluded = IcalRecurrence::excluded(master);
    for (const Override& override : overrides) {
        const std::optional<CalendarEvent> changed = occurrenceOf(override, series.id);
        if (changed && !excluded.contains(override.replaces.toSecsSinceEpoch()) && changed->overlaps(from, to))
            found.append(*changed);
    }
    return found;
}

Occurrences occurrencesBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                               const QDateTime& from, const QDateTime& to, IcalRecurrence::Budget& budget)
{
    Occurrences found{changedBetween(master, series, overrides, from, to)};
    const QSet<qint64> excluded = IcalRecurrence::excluded(master);
    QSet<qint64> replaced;
    for (const Override& override : overrides)
        replaced.insert(override.replaces.toSecsSinceEpoch());
    const IcalRecurrence::Span span = IcalRecurrence::spanOf(master, series);
    const IcalRecurrence::Starts starts = IcalRecurrence::between(master, excluded, span, from, to, budget);
    for (const QDateTime& start : starts.starts)
        if (!replaced.contains(start.toSecsSinceEpoch()))
            found.events.append(generated(series, span, starts, start));
    found.cut = starts.cut;
    return found;
}

std::optional<CalendarEvent> occurrenceAt(icalcomponent* master, const CalendarEvent& series,
                                          const Overrides& overrides, const QDateTime& at)
{
    const QSet<qint64> excluded = IcalRecurrence::excluded(master);
    if (excluded.contains(at.toSecsSinceEpoch()))
        return std::nullopt;
    if (const Override* override = overrideAt(overrides, at))
        return occurrenceOf(*override, series.id);
    IcalRecurrence::Budget budget;
    const IcalRecurrence::Span span = IcalRecurrence::spanOf(master, series);
    const IcalRecurrence::Starts starts = IcalRecurrence::between(master, excluded, span, at, at.addSecs(1), budget);
    if (!starts.starts.contains(at))
        return std::nullopt;
    return generated(series, span, starts, at);
}

}  // namespace IcalOverrides
