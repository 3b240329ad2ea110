#include "Platform/Calendar/IcalZone.h"

#include "Platform/Calendar/IcalTree.h"

#include <QHash>

#include <optional>

namespace {
// What a TZID means apart from a file's own definitions. Working it out reads the zone's rules
// from the system, and a file's events name the same few zones over and over.
struct Resolution {
    bool listed = false;  // an IANA id Qt lists, which wins over a file's definition
    QTimeZone zone;  // invalid when nothing resolves the name
};

// Whether the name can be an id of the time zone database: Qt and libical open the file of
// that name under the database's folder, and a name from a calendar file must not lead them
// elsewhere (to a FIFO, which would hold the reader).
bool databaseLike(const QByteArray& id)
{
    constexpr qsizetype kLongestId = 64;
    if (id.isEmpty() || id.size() > kLongestId)
        return false;
    for (const QByteArray& part : id.split('/')) {
        if (part.isEmpty() || part.startsWith('.'))
            return false;
        for (const char c : part) {
            const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            if (!letterOrDigit && c != '_' && c != '-' && c != '+')
                return false;
        }
    }
    return true;
}

// A zone of the time zone database by that id, or an invalid one. Qt takes any name (one it
// cannot find reads as a zone at UTC+0), so the id must be one Qt lists or one libical finds
// in the database (links such as "US/Eastern" are not listed).
QTimeZone databaseZone(const QByteArray& id)
{
    if (!databaseLike(id))
        return {};
    if (QTimeZone::isTimeZoneIdAvailable(id) || icaltimezone_get_builtin_timezone(id.constData()))
        return QTimeZone(id);
    return {};
}

Resolution resolve(const QByteArray& id)
{
    if (QTimeZone::isTimeZoneIdAvailable(id))
        return {true, QTimeZone(id)};
    if (QTimeZone zone = databaseZone(id); zone.isValid())
        return {false, zone};
    if (const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id.trimmed()); !iana.isEmpty())
        return {false, QTimeZone(iana)};
    // A vendor's prefix: the longest tail after a slash that is an id of the database.
    for (qsizetype slash = id.indexOf('/'); slash >= 0; slash = id.indexOf('/', slash + 1))
        if (QTimeZone zone = databaseZone(id.mid(slash + 1)); zone.isValid())
            return {false, zone};
    return {};
}

const Resolution& resolved(const QByteArray& id)
{
    thread_local QHash<QByteArray, Resolution> known;
    // A file of thousands of made-up names must not hold them all.
    if (known.size() > 64)
        known.clear();
    auto found = known.constFind(id);
    if (found == known.cend())
        found = known.insert(id, resolve(id));
    return *found;
}

// The VTIMEZONE of that TZID in the calendar holding the property, if the file defines one.
icaltimezone* fileZone(icalproperty* property, const char* tzid)
{
    icalcomponent* component = icalproperty_get_parent(property);
    icalcomponent* calendar = component ? icalcomponent_get_parent(component) : nullptr;
    return calendar ? icalcomponent_get_timezone(calendar, tzid) : nullptr;
}
}  // namespace

IcalZone::IcalZone(icalproperty* property, icaltimetype time)
    : m_utc(icaltime_is_utc(time)),
      m_tzid(property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr)
{
    const char* tzid = m_tzid ? icalparameter_get_tzid(m_tzid) : nullptr;
    if (!tzid || m_utc)
        return;
    const Resolution& resolution = resolved(QByteArray(tzid));
    if (!resolution.listed)
        m_fileZone = fileZone(property, tzid);
    if (!m_fileZone)
        m_zone = resolution.zone;
    m_known = m_fileZone || m_zone.isValid();
}

QDateTime IcalZone::toDateTime(icaltimetype time) const
{
    const QDate date(time.year, time.month, time.day);
    if (time.is_date)
        return date.startOfDay();
    const QTime clock(time.hour, time.minute, time.second);
    if (icaltime_is_utc(time))
        return QDateTime(date, clock, Qt::UTC);
    if (m_fileZone)
        return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, m_fileZone));
    const QDateTime at = m_zone.isValid() ? QDateTime(date, clock, m_zone) : QDateTime(date, clock);
    if (at.isValid() || !date.isValid() || !clock.isValid())
        return at;
    // A time the clocks skipped (the hour lost in spring) is read with the offset before the
    // change, as RFC 5545 asks: 02:30 where the clocks go from 02:00 to 03:00 is 03:30.
    const QDateTime wall(date, clock, Qt::UTC);
    const QTimeZone zone = m_zone.isValid() ? m_zone : QTimeZone::systemTimeZone();
    const QDateTime instant = wall.addSecs(-zone.offsetFromUtc(wall.addDays(-1)));
    return m_zone.isValid() ? instant.toTimeZone(m_zone) : instant.toLocalTime();
}

icaltimetype IcalZone::toIcal(const QDateTime& at, bool date) const
{
    QDateTime local = at.toLocalTime();
    if (m_utc) {
        local = at.toUTC();
    } else if (m_tzid && (m_fileZone || m_zone.isValid())) {
        if (m_fileZone) {
            icaltimetype time = icaltime_from_timet_with_zone(at.toSecsSinceEpoch(), date, m_fileZone);
            time.zone = nullptr;
            return time;
        }
        local = at.toTimeZone(m_zone);
    }
    icaltimetype time = wallClock(local, date);
    if (m_utc && !date)
        time.zone = icaltimezone_get_utc_timezone();
    return time;
}

QByteArray IcalZone::unknownIn(icalcomponent* vevent)
{
    for (icalproperty* property : IcalTree::properties(vevent, ICAL_ANY_PROPERTY)) {
        icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        if (tzid && !IcalZone(property, icaltime_null_time()).known())
            return icalparameter_get_tzid(tzid);
    }
    return {};
}

bool IcalZone::guard(icalcomponent* root)
{
    const auto renamed = [](const char* tzid) {
        const QByteArray name(tzid ? tzid : "");
        return name.contains("..") ? std::optional(QByteArray(name).replace('.', '_')) : std::nullopt;
    };
    bool any = false;
    QList<icalcomponent*> pending{root};
    while (!pending.isEmpty()) {
        icalcomponent* component = pending.takeLast();
        for (icalproperty* property : IcalTree::properties(component, ICAL_ANY_PROPERTY)) {
            if (icalproperty_isa(property) == ICAL_TZID_PROPERTY)
                if (const auto name = renamed(icalproperty_get_tzid(property))) {
                    icalproperty_set_tzid(property, name->constData());
                    any = true;
                }
            if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER))
                if (const auto name = renamed(icalparameter_get_tzid(tzid))) {
                    icalparameter_set_tzid(tzid, name->constData());
                    any = true;
                }
        }
        pending.append(IcalTree::children(component, ICAL_ANY_COMPONENT));
    }
    return any;
}

icaltimetype IcalZone::wallClock(const QDateTime& at, bool date)
{
    icaltimetype time = icaltime_null_time();
    time.year = at.date().year();
    time.month = at.date().month();
    time.day = at.date().day();
    time.is_date = date;
    if (!date) {
        time.hour = at.time().hour();
        time.minute = at.time().minute();
        time.second = at.time().second();
    }
    return time;
}
