#include "Platform/IcalCalendarStore.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimeZone>
#include <QUrl>

#include <libical/ical.h>

#include <algorithm>
#include <memory>

Q_LOGGING_CATEGORY(lcCalendarStore, "app.parlivox.calendar")

namespace {
struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

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

// A time of the file as a QDateTime: in its named zone when Qt knows it, through the file's
// own VTIMEZONE otherwise; floating times are local and dates start their day.
QDateTime toDateTime(icaltimetype time, icalproperty* property)
{
    const QDate date(time.year, time.month, time.day);
    if (time.is_date)
        return date.startOfDay();
    const QTime clock(time.hour, time.minute, time.second);
    if (icaltime_is_utc(time))
        return QDateTime(date, clock, Qt::UTC);
    icalparameter* tzid = property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    if (tzid) {
        if (const QTimeZone zone(icalparameter_get_tzid(tzid)); zone.isValid())
            return QDateTime(date, clock, zone);
        if (time.zone)
            return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, time.zone));
    }
    return QDateTime(date, clock);
}

std::optional<CalendarEvent> eventOf(icalcomponent* vevent)
{
    icalproperty* startProperty = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const char* uid = icalcomponent_get_uid(vevent);
    if (!startProperty || !uid || !*uid)
        return std::nullopt;
    CalendarEvent event;
    event.id = text(uid);
    event.start = toDateTime(icalcomponent_get_dtstart(vevent), startProperty);
    // libical derives the end from DURATION when there is no DTEND.
    const icaltimetype end = icalcomponent_get_dtend(vevent);
    icalproperty* endProperty = icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY);
    event.end = icaltime_is_null_time(end) ? event.start : toDateTime(end, endProperty ? endProperty : startProperty);
    event.title = text(icalcomponent_get_summary(vevent));
    event.location = text(icalcomponent_get_location(vevent));
    event.notes = text(icalcomponent_get_description(vevent));
    if (!event.start.isValid() || !event.end.isValid())
        return std::nullopt;
    return event;
}

void removeAll(icalcomponent* component, icalproperty_kind kind)
{
    while (icalproperty* property = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

// An empty text removes the property.
void setText(icalcomponent* vevent, icalproperty_kind kind, icalproperty* (*make)(const char*), const QString& value)
{
    removeAll(vevent, kind);
    if (!value.isEmpty())
        icalcomponent_add_property(vevent, make(value.toUtf8().constData()));
}

// Adds the zone's VTIMEZONE, named by its plain IANA id, unless the calendar has it.
void ensureTimeZone(icalcomponent* calendar, icaltimezone* zone, const QByteArray& id)
{
    for (icalcomponent* existing = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); existing;
         existing = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* tzid = icalcomponent_get_first_property(existing, ICAL_TZID_PROPERTY);
        if (tzid && id == icalproperty_get_tzid(tzid))
            return;
    }
    icalcomponent* copy = icalcomponent_new_clone(icaltimezone_get_component(zone));
    removeAll(copy, ICAL_TZID_PROPERTY);
    icalcomponent_add_property(copy, icalproperty_new_tzid(id.constData()));
    icalcomponent_add_component(calendar, copy);
}

void setTime(icalcomponent* calendar, icalcomponent* vevent, icalproperty_kind kind,
             icalproperty* (*make)(icaltimetype), const QDateTime& when)
{
    removeAll(vevent, kind);
    const QByteArray zoneId = zoneIdOf(when);
    // A zone libical does not know is written as UTC.
    icaltimezone* zone = zoneId.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(zoneId.constData());
    const QDateTime local = zone ? when.toTimeZone(QTimeZone(zoneId)) : when.toUTC();
    icaltimetype time = icaltime_null_time();
    time.year = local.date().year();
    time.month = local.date().month();
    time.day = local.date().day();
    time.hour = local.time().hour();
    time.minute = local.time().minute();
    time.second = local.time().second();
    time.zone = zone ? nullptr : icaltimezone_get_utc_timezone();
    icalproperty* property = make(time);
    if (zone) {
        icalproperty_add_parameter(property, icalparameter_new_tzid(zoneId.constData()));
        ensureTimeZone(calendar, zone, zoneId);
    }
    icalcomponent_add_property(vevent, property);
}

Component newCalendar()
{
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Parlivox//Parlivox for Linux//EN"));
    return calendar;
}

// The event's own VEVENT (not an override of one occurrence).
icalcomponent* masterEvent(icalcomponent* calendar, const QString& id)
{
    for (icalcomponent* vevent = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); vevent;
         vevent = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (text(icalcomponent_get_uid(vevent)) == id &&
            !icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
            return vevent;
    return nullptr;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}
}  // namespace

IcalCalendarStore::IcalCalendarStore(QString folder) : m_folder(std::move(folder))
{
}

QString IcalCalendarStore::defaultFolder()
{
    return AppPaths::root() + QStringLiteral("/calendar");
}

bool IcalCalendarStore::ensureFolder(QString* error) const
{
    if (!FileIO::ensureDirectory(m_folder, false, error))
        return false;
    const QFileInfo folder(m_folder);
    if (!folder.isReadable() || !folder.isWritable())
        return fail(error, QStringLiteral("%1 is not readable and writable").arg(m_folder));
    return true;
}

QString IcalCalendarStore::pathOf(const QString& id) const
{
    const QString known = m_paths.value(id);
    return known.isEmpty()
               ? m_folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(id)) + QStringLiteral(".ics")
               : known;
}

std::optional<QList<CalendarEvent>> IcalCalendarStore::events(QString* error)
{
    if (!ensureFolder(error))
        return std::nullopt;
    QList<CalendarEvent> events;
    QHash<QString, QString> paths;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        const auto data = FileIO::readAll(path, error);
        if (!data)
            return std::nullopt;
        const Component calendar(icalparser_parse_string(data->constData()));
        if (!calendar) {
            qCWarning(lcCalendarStore, "skipped %s: not an iCalendar file", qUtf8Printable(path));
            continue;
        }
        for (icalcomponent* vevent = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT); vevent;
             vevent = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT)) {
            if (icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
                continue;
            if (auto event = eventOf(vevent)) {
                paths.insert(event->id, path);
                events.append(std::move(*event));
            } else {
                qCWarning(lcCalendarStore, "skipped an event without UID or start in %s", qUtf8Printable(path));
            }
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const CalendarEvent& a, const CalendarEvent& b) {
        return a.start != b.start ? a.start < b.start : a.id < b.id;
    });
    m_paths = std::move(paths);
    return events;
}

bool IcalCalendarStore::save(const CalendarEvent& event, QString* error)
{
    if (!ensureFolder(error))
        return false;
    const QString path = pathOf(event.id);
    Component calendar;
    if (QFileInfo::exists(path)) {
        const auto data = FileIO::readAll(path, error);
        if (!data)
            return false;
        // Never replace a file that cannot be read back with a new one.
        calendar.reset(icalparser_parse_string(data->constData()));
        if (!calendar)
            return fail(error, QStringLiteral("%1 is not an iCalendar file").arg(path));
    } else {
        calendar = newCalendar();
    }
    icalcomponent* vevent = masterEvent(calendar.get(), event.id);
    if (!vevent) {
        vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_set_uid(vevent, event.id.toUtf8().constData());
        icalcomponent_add_component(calendar.get(), vevent);
    }
    removeAll(vevent, ICAL_DTSTAMP_PROPERTY);
    removeAll(vevent, ICAL_DURATION_PROPERTY);
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(icaltime_from_timet_with_zone(
                                           QDateTime::currentSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone())));
    setTime(calendar.get(), vevent, ICAL_DTSTART_PROPERTY, icalproperty_new_dtstart, event.start);
    setTime(calendar.get(), vevent, ICAL_DTEND_PROPERTY, icalproperty_new_dtend, event.end);
    setText(vevent, ICAL_SUMMARY_PROPERTY, icalproperty_new_summary, event.title);
    setText(vevent, ICAL_LOCATION_PROPERTY, icalproperty_new_location, event.location);
    setText(vevent, ICAL_DESCRIPTION_PROPERTY, icalproperty_new_description, event.notes);
    if (!FileIO::writeAtomically(path, QByteArray(icalcomponent_as_ical_string(calendar.get())), error))
        return false;
    m_paths.insert(event.id, path);
    return true;
}

bool IcalCalendarStore::remove(const QString& id, QString* error)
{
    if (!ensureFolder(error))
        return false;
    const QString path = pathOf(id);
    QFile file(path);
    if (!file.remove())
        return fail(error, QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
    m_paths.remove(id);
    return true;
}
