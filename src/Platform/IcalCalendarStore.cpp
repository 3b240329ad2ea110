#include "Platform/IcalCalendarStore.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimeZone>
#include <QUrl>

#include <libical/ical.h>

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcCalendarStore, "app.parlivox.calendar")

namespace {
// Occurrences of a series are listed from a year before to two years after now.
constexpr int kRecurrenceDaysBefore = 366;
constexpr int kRecurrenceDaysAfter = 2 * 366;
constexpr int kMaxRecurrenceSteps = 100000;

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
icalcomponent* masterEvent(icalcomponent* calendar, const QString& uid)
{
    for (icalcomponent* vevent = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); vevent;
         vevent = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (text(icalcomponent_get_uid(vevent)) == uid &&
            !icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
            return vevent;
    return nullptr;
}

bool isRecurring(icalcomponent* vevent)
{
    return icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY) ||
           icalcomponent_get_first_property(vevent, ICAL_RDATE_PROPERTY);
}

// The instant an override replaces (its RECURRENCE-ID), or nothing for a master.
std::optional<QDateTime> recurrenceIdOf(icalcomponent* vevent)
{
    icalproperty* property = icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY);
    if (!property)
        return std::nullopt;
    const QDateTime at = toDateTime(icalproperty_get_recurrenceid(property), property);
    return at.isValid() ? std::optional<QDateTime>(at) : std::nullopt;
}

// The overrides of the series `uid`, each with the instant it replaces.
QList<std::pair<icalcomponent*, QDateTime>> overridesOf(icalcomponent* calendar, const QString& uid)
{
    QList<std::pair<icalcomponent*, QDateTime>> found;
    for (icalcomponent* vevent = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); vevent;
         vevent = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (text(icalcomponent_get_uid(vevent)) == uid)
            if (const auto at = recurrenceIdOf(vevent))
                found.append({vevent, *at});
    return found;
}

// An occurrence's id: the series' UID, "#" and the occurrence's original start in UTC.
QString occurrenceId(const QString& uid, const QDateTime& originalStart)
{
    return uid + QLatin1Char('#') + originalStart.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

struct EventKey {
    QString uid;
    std::optional<QDateTime> occurrence;  // the original start of one occurrence of a series
};

EventKey keyOf(const QString& id)
{
    const qsizetype hash = id.lastIndexOf(QLatin1Char('#'));
    if (hash > 0) {
        QDateTime at = QDateTime::fromString(id.mid(hash + 1), QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
        if (at.isValid()) {
            at.setTimeSpec(Qt::UTC);
            return {id.left(hash), at};
        }
    }
    return {id, std::nullopt};
}

// The starts of the series' occurrences in [from, to): its RRULEs expanded in the wall-clock
// time of its DTSTART (so a weekly 10:00 stays at 10:00 across a change of daylight saving),
// plus its RDATEs, less its EXDATEs.
QList<QDateTime> occurrencesOf(icalcomponent* master, const QDateTime& from, const QDateTime& to)
{
    icalproperty* startProperty = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    const icaltimetype start = icalcomponent_get_dtstart(master);
    QSet<qint64> excluded;
    for (icalproperty* exdate = icalcomponent_get_first_property(master, ICAL_EXDATE_PROPERTY); exdate;
         exdate = icalcomponent_get_next_property(master, ICAL_EXDATE_PROPERTY))
        excluded.insert(toDateTime(icalproperty_get_exdate(exdate), exdate).toSecsSinceEpoch());
    QList<QDateTime> starts;
    const auto consider = [&](const QDateTime& at) {
        if (at.isValid() && at >= from && at < to && !excluded.contains(at.toSecsSinceEpoch()) &&
            !starts.contains(at))
            starts.append(at);
    };
    for (icalproperty* rrule = icalcomponent_get_first_property(master, ICAL_RRULE_PROPERTY); rrule;
         rrule = icalcomponent_get_next_property(master, ICAL_RRULE_PROPERTY)) {
        icalrecur_iterator* iterator = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
        if (!iterator)
            continue;
        // A bound on the work for any rule: a minutely rule from long ago ends here.
        for (int step = 0; step < kMaxRecurrenceSteps; ++step) {
            const icaltimetype next = icalrecur_iterator_next(iterator);
            if (icaltime_is_null_time(next))
                break;
            const QDateTime at = toDateTime(next, startProperty);
            if (at >= to)
                break;
            consider(at);
        }
        icalrecur_iterator_free(iterator);
    }
    for (icalproperty* rdate = icalcomponent_get_first_property(master, ICAL_RDATE_PROPERTY); rdate;
         rdate = icalcomponent_get_next_property(master, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
        consider(toDateTime(icaltime_is_null_time(value.time) ? value.period.start : value.time, rdate));
    }
    std::sort(starts.begin(), starts.end());
    return starts;
}

// `at` written the way the series writes its DTSTART: a date, UTC, or the wall-clock time of
// its TZID (which `property` then gets too), so an EXDATE or a RECURRENCE-ID matches it.
icaltimetype likeStart(icalcomponent* master, const QDateTime& at, icalproperty* property)
{
    icalproperty* startProperty = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    const icaltimetype start = icalcomponent_get_dtstart(master);
    icalparameter* tzid = icalproperty_get_first_parameter(startProperty, ICAL_TZID_PARAMETER);
    QDateTime local = at.toLocalTime();
    icaltimetype time = icaltime_null_time();
    if (icaltime_is_utc(start)) {
        local = at.toUTC();
        time.zone = icaltimezone_get_utc_timezone();
    } else if (tzid) {
        if (const QTimeZone zone(icalparameter_get_tzid(tzid)); zone.isValid())
            local = at.toTimeZone(zone);
        else if (start.zone)
            return icaltime_from_timet_with_zone(at.toSecsSinceEpoch(), start.is_date, const_cast<icaltimezone*>(start.zone));
        icalproperty_add_parameter(property, icalparameter_new_clone(tzid));
    }
    time.year = local.date().year();
    time.month = local.date().month();
    time.day = local.date().day();
    time.is_date = start.is_date;
    if (!start.is_date) {
        time.hour = local.time().hour();
        time.minute = local.time().minute();
        time.second = local.time().second();
    } else {
        time.zone = nullptr;
    }
    return time;
}

// Why libical's reading of the file cannot be written back as the file: its root is not one
// VCALENDAR (several calendars, an unknown wrapper), or libical repaired something on the
// way in (X-LIC-ERROR), which writing would make permanent. Nothing when it can.
std::optional<QString> unfaithful(icalcomponent* root)
{
    if (icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT)
        return QStringLiteral("it is not one VCALENDAR");
    QList<icalcomponent*> pending{root};
    while (!pending.isEmpty()) {
        icalcomponent* component = pending.takeLast();
        if (icalproperty* repair = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
            return QStringLiteral("libical had to repair it (%1)").arg(text(icalproperty_get_xlicerror(repair)));
        for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
            pending.append(child);
    }
    return std::nullopt;
}

// The calendars of a parsed file: the root itself, or the VCALENDARs it wraps.
QList<icalcomponent*> calendarsOf(icalcomponent* root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    QList<icalcomponent*> calendars;
    for (icalcomponent* child = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); child;
         child = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        calendars.append(child);
    return calendars;
}

// Whether anything but time zones is left in the calendar.
bool holdsAnything(icalcomponent* calendar)
{
    for (icalcomponent* child = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT))
        if (icalcomponent_isa(child) != ICAL_VTIMEZONE_COMPONENT)
            return true;
    return false;
}

void removeComponent(icalcomponent* calendar, icalcomponent* component)
{
    icalcomponent_remove_component(calendar, component);
    icalcomponent_free(component);
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

QString systemReason(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}
}  // namespace

IcalCalendarStore::IcalCalendarStore(QString folder, std::function<QDateTime()> now)
    : m_folder(std::move(folder)), m_now(now ? std::move(now) : [] { return QDateTime::currentDateTime(); })
{
}

QString IcalCalendarStore::defaultFolder()
{
    return AppPaths::root() + QStringLiteral("/calendar");
}

bool IcalCalendarStore::ensureFolder(QString* error)
{
    if (!FileIO::ensureDirectory(m_folder, false, error))
        return false;
    // The system's own reason: "Read-only file system", "Permission denied".
    if (::access(QFile::encodeName(m_folder).constData(), R_OK | W_OK | X_OK) != 0)
        return fail(error, QStringLiteral("%1: %2").arg(m_folder, systemReason(errno)));
    if (!m_swept) {
        m_swept = true;
        if (const int removed = FileIO::removeLeftoverTemporaries(m_folder))
            qCInfo(lcCalendarStore, "removed %d temporary files left by an interrupted write", removed);
    }
    return true;
}

QString IcalCalendarStore::pathOf(const QString& uid) const
{
    const QString known = m_paths.value(uid);
    return known.isEmpty()
               ? m_folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(uid)) + QStringLiteral(".ics")
               : known;
}

void IcalCalendarStore::refreshPaths(const QString& uid)
{
    if (!m_paths.contains(uid))
        events(nullptr);
}

std::optional<QList<CalendarEvent>> IcalCalendarStore::events(QString* error)
{
    if (!ensureFolder(error))
        return std::nullopt;
    const QDateTime now = m_now();
    const QDateTime from = now.addDays(-kRecurrenceDaysBefore);
    const QDateTime to = now.addDays(kRecurrenceDaysAfter);
    QList<CalendarEvent> events;
    QHash<QString, QString> paths;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        QString unreadable;
        const auto data = FileIO::readAll(path, &unreadable);
        if (!data) {
            // One file out of reach must not take the whole calendar with it.
            qCWarning(lcCalendarStore, "skipped %s: %s", qUtf8Printable(path), qUtf8Printable(unreadable));
            continue;
        }
        const Component root(icalparser_parse_string(data->constData()));
        const QList<icalcomponent*> calendars = root ? calendarsOf(root.get()) : QList<icalcomponent*>();
        if (calendars.isEmpty()) {
            qCWarning(lcCalendarStore, "skipped %s: not an iCalendar file", qUtf8Printable(path));
            continue;
        }
        for (icalcomponent* calendar : calendars) {
            for (icalcomponent* vevent = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); vevent;
                 vevent = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
                if (icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
                    continue;
                const auto master = eventOf(vevent);
                if (!master) {
                    qCWarning(lcCalendarStore, "skipped an event without UID or start in %s", qUtf8Printable(path));
                    continue;
                }
                paths.insert(master->id, path);
                if (!isRecurring(vevent)) {
                    events.append(*master);
                    continue;
                }
                // Each occurrence is an event of its own; an override takes the place of the
                // occurrence it names.
                const auto overrides = overridesOf(calendar, master->id);
                const qint64 length = master->start.secsTo(master->end);
                for (const QDateTime& start : occurrencesOf(vevent, from, to)) {
                    CalendarEvent occurrence = *master;
                    occurrence.id = occurrenceId(master->id, start);
                    occurrence.start = start;
                    occurrence.end = start.addSecs(length);
                    for (const auto& [override, replaced] : overrides) {
                        if (replaced != start)
                            continue;
                        if (auto changed = eventOf(override)) {
                            occurrence = *changed;
                            occurrence.id = occurrenceId(master->id, start);
                        }
                    }
                    events.append(std::move(occurrence));
                }
            }
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const CalendarEvent& a, const CalendarEvent& b) {
        return a.start != b.start ? a.start < b.start : a.id < b.id;
    });
    m_paths = std::move(paths);
    return events;
}

std::optional<IcalCalendarStore::Loaded> IcalCalendarStore::load(const QString& path, QString* error) const
{
    Loaded loaded{path, nullptr};
    if (!QFileInfo::exists(path)) {
        loaded.calendar = newCalendar().release();
        return loaded;
    }
    const auto data = FileIO::readAll(path, error);
    if (!data) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, *error);
        return std::nullopt;
    }
    Component root(icalparser_parse_string(data->constData()));
    // Never replace a file with what libical made of it unless that is the file.
    if (!root) {
        fail(error, QStringLiteral("%1 is not an iCalendar file; it is left as it is").arg(path));
        return std::nullopt;
    }
    if (const auto reason = unfaithful(root.get())) {
        fail(error, QStringLiteral("%1 cannot be written back as it is: %2; it is left unchanged").arg(path, *reason));
        return std::nullopt;
    }
    loaded.calendar = root.release();
    return loaded;
}

bool IcalCalendarStore::store(const Loaded& loaded, QString* error) const
{
    if (!holdsAnything(loaded.calendar)) {
        QFile file(loaded.path);
        return file.remove() || fail(error, QStringLiteral("cannot remove %1: %2").arg(loaded.path, file.errorString()));
    }
    const char* written = icalcomponent_as_ical_string(loaded.calendar);
    const QByteArray data(written ? written : "");
    // The last guard: what goes to disk is one whole calendar, never an empty file.
    if (!data.startsWith("BEGIN:VCALENDAR") || !data.trimmed().endsWith("END:VCALENDAR"))
        return fail(error, QStringLiteral("%1 could not be written as a calendar; it is left unchanged").arg(loaded.path));
    return FileIO::writeAtomically(loaded.path, data, error);
}

bool IcalCalendarStore::save(const CalendarEvent& event, QString* error)
{
    if (!ensureFolder(error))
        return false;
    const EventKey key = keyOf(event.id);
    refreshPaths(key.uid);
    const QString path = pathOf(key.uid);
    auto loaded = load(path, error);
    if (!loaded)
        return false;
    const Component calendar(loaded->calendar);
    icalcomponent* vevent = masterEvent(calendar.get(), key.uid);
    if (key.occurrence) {
        // One occurrence of a series changes: its override, made from the series when new.
        if (!vevent)
            return fail(error, QStringLiteral("%1 holds no series %2").arg(path, key.uid));
        icalcomponent* override = nullptr;
        for (const auto& [existing, replaced] : overridesOf(calendar.get(), key.uid))
            if (replaced == *key.occurrence)
                override = existing;
        if (!override) {
            override = icalcomponent_new_clone(vevent);
            for (const icalproperty_kind kind :
                 {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY, ICAL_RECURRENCEID_PROPERTY})
                removeAll(override, kind);
            icalproperty* recurrenceId = icalproperty_new_recurrenceid(icaltime_null_time());
            icalproperty_set_recurrenceid(recurrenceId, likeStart(vevent, *key.occurrence, recurrenceId));
            icalcomponent_add_property(override, recurrenceId);
            icalcomponent_add_component(calendar.get(), override);
        }
        vevent = override;
    } else if (!vevent) {
        vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_set_uid(vevent, key.uid.toUtf8().constData());
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
    if (!store({path, calendar.get()}, error))
        return false;
    m_paths.insert(key.uid, path);
    return true;
}

bool IcalCalendarStore::remove(const QString& id, QString* error)
{
    if (!ensureFolder(error))
        return false;
    const EventKey key = keyOf(id);
    refreshPaths(key.uid);
    const QString path = pathOf(key.uid);
    if (!QFileInfo::exists(path))
        return fail(error, QStringLiteral("no event %1 in the calendar").arg(id));
    auto loaded = load(path, error);
    if (!loaded)
        return false;
    const Component calendar(loaded->calendar);
    if (key.occurrence) {
        // This occurrence only: the series leaves it out (EXDATE), and its override goes.
        icalcomponent* master = masterEvent(calendar.get(), key.uid);
        if (!master)
            return fail(error, QStringLiteral("%1 holds no series %2").arg(path, key.uid));
        for (const auto& [override, replaced] : overridesOf(calendar.get(), key.uid))
            if (replaced == *key.occurrence)
                removeComponent(calendar.get(), override);
        icalproperty* exdate = icalproperty_new_exdate(icaltime_null_time());
        icalproperty_set_exdate(exdate, likeStart(master, *key.occurrence, exdate));
        icalcomponent_add_property(master, exdate);
    } else {
        // The event with every override of it; the other events of the file stay.
        QList<icalcomponent*> going;
        for (icalcomponent* vevent = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT); vevent;
             vevent = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT))
            if (text(icalcomponent_get_uid(vevent)) == key.uid)
                going.append(vevent);
        if (going.isEmpty())
            return fail(error, QStringLiteral("no event %1 in %2").arg(id, path));
        for (icalcomponent* vevent : going)
            removeComponent(calendar.get(), vevent);
    }
    if (!store({path, calendar.get()}, error))
        return false;
    if (!key.occurrence)
        m_paths.remove(key.uid);
    return true;
}
