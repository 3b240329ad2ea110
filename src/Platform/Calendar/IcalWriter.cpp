#include "Platform/Calendar/IcalWriter.h"

#include "Platform/Calendar/IcalZone.h"
#include "Support/FileIO.h"

#include <QFile>
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

void setText(icalcomponent* vevent, icalproperty_kind kind, icalproperty* (*make)(const char*), const QString& value)
{
    removeProperties(vevent, kind);
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

void setTime(icalcomponent* calendar, icalcomponent* vevent, icalproperty_kind kind,
             icalproperty* (*make)(icaltimetype), const QDateTime& when)
{
    removeProperties(vevent, kind);
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

bool holdsAnything(icalcomponent* calendar)
{
    for (icalcomponent* child : IcalTree::children(calendar, ICAL_ANY_COMPONENT))
        if (icalcomponent_isa(child) != ICAL_VTIMEZONE_COMPONENT)
            return true;
    return false;
}
}  // namespace

namespace IcalWriter {

IcalTree::Owned newCalendar()
{
    IcalTree::Owned calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Parlivox//Parlivox for Linux//EN"));
    return calendar;
}

void writeFields(icalcomponent* calendar, icalcomponent* vevent, const CalendarEvent& event)
{
    removeProperties(vevent, ICAL_DTSTAMP_PROPERTY);
    removeProperties(vevent, ICAL_DURATION_PROPERTY);
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(
                                           QDateTime::currentSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone())));
    setTime(calendar, vevent, ICAL_DTSTART_PROPERTY, icalproperty_new_dtstart, event.start);
    setTime(calendar, vevent, ICAL_DTEND_PROPERTY, icalproperty_new_dtend, event.end);
    setText(vevent, ICAL_SUMMARY_PROPERTY, icalproperty_new_summary, event.title);
    setText(vevent, ICAL_LOCATION_PROPERTY, icalproperty_new_location, event.location);
    setText(vevent, ICAL_DESCRIPTION_PROPERTY, icalproperty_new_description, event.notes);
}

bool store(const QString& path, icalcomponent* calendar, QString* error)
{
    if (!holdsAnything(calendar)) {
        QFile file(path);
        return file.remove() || fail(error, QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
    }
    const char* written = icalcomponent_as_ical_string(calendar);
    const QByteArray data(written ? written : "");
    // The last guard: what goes to disk is one whole calendar, never an empty file.
    if (!data.startsWith("BEGIN:VCALENDAR") || !data.trimmed().endsWith("END:VCALENDAR"))
        return fail(error, QStringLiteral("%1 could not be written as a calendar; it is left unchanged").arg(path));
    return FileIO::writeAtomically(path, data, error);
}

}  // namespace IcalWriter
