#include "Platform/Calendar/IcalWriter.h"

#include "Platform/Calendar/IcalTree.h"
#include "Platform/Calendar/IcalZone.h"
#include "Support/FileIO.h"

#include <QTimeZone>

namespace {
using FileIO::fail;
using IcalTree::removeProperties;

QByteArray zoneIdOf(const QDateTime& time)
{
    switch (time.timeSpec()) {
    case Qt::UTC:
        return {};
    case Qt::TimeZone:
        return time.timeZone().id();
    default:
        return QTimeZone::systemTimeZoneId();
    }
}

void addText(icalcomponent* vevent, icalproperty* (*make)(const char*), const QString& value)
{
    if (!value.isEmpty())
        icalcomponent_add_property(vevent, make(value.toUtf8().constData()));
}

// Adds the zone's VTIMEZONE, named by its plain IANA id, unless the calendar has it.
void ensureTimeZone(icalcomponent* calendar, icaltimezone* zone, const QByteArray& id)
{
    for (icalcomponent* existing : IcalTree::children(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* tzid = icalcomponent_get_first_property(existing, ICAL_TZID_PROPERTY);
        if (tzid && id == icalproperty_get_tzid(tzid))
            return;
    }
    icalcomponent* copy = icalcomponent_new_clone(icaltimezone_get_component(zone));
    removeProperties(copy, ICAL_TZID_PROPERTY);
    icalcomponent_add_property(copy, icalproperty_new_tzid(id.constData()));
    icalcomponent_add_component(calendar, copy);
}

void setTime(icalcomponent* calendar, icalcomponent* vevent, icalproperty* (*make)(icaltimetype), const QDateTime& when)
{
    const QByteArray zoneId = zoneIdOf(when);
    // A zone libical does not know is written as UTC.
    icaltimezone* zone = zoneId.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(zoneId.constData());
    const QDateTime local = zone ? when.toTimeZone(QTimeZone(zoneId)) : when.toUTC();
    icaltimetype time = IcalZone::wallClock(local, false);
    time.zone = zone ? nullptr : icaltimezone_get_utc_timezone();
    icalproperty* property = make(time);
    if (zone) {
        icalproperty_add_parameter(property, icalparameter_new_tzid(zoneId.constData()));
        ensureTimeZone(calendar, zone, zoneId);
    }
    icalcomponent_add_property(vevent, property);
}

}  // namespace

namespace IcalWriter {

bool writeNew(const QString& path, const CalendarEvent& event, QString* error)
{
    const IcalTree::Owned calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Parlivox//Parlivox for Linux//EN"));
    icalcomponent* vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_component(calendar.get(), vevent);
    icalcomponent_set_uid(vevent, event.id.toUtf8().constData());
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(
                                           QDateTime::currentSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone())));
    setTime(calendar.get(), vevent, icalproperty_new_dtstart, event.start);
    setTime(calendar.get(), vevent, icalproperty_new_dtend, event.end);
    addText(vevent, icalproperty_new_summary, event.title);
    addText(vevent, icalproperty_new_location, event.location);
    addText(vevent, icalproperty_new_description, event.notes);
    const char* written = icalcomponent_as_ical_string(calendar.get());
    const QByteArray data(written ? written : "");
    // The last guard: what goes to disk is one whole calendar, never an empty file.
    if (!data.startsWith("BEGIN:VCALENDAR") || !data.trimmed().endsWith("END:VCALENDAR"))
        return fail(error, QStringLiteral("%1 could not be written as a calendar").arg(path));
    return FileIO::writeAtomically(path, data, error);
}

}  // namespace IcalWriter
