#include "Platform/IcalZone.h"

#include <QHash>

namespace {
// The zone Qt knows by that IANA id (invalid when none). Making one reads the zone's rules
// from the system each time, and a file's events name the same few zones over and over.
QTimeZone zoneNamed(const QByteArray& id)
{
    thread_local QHash<QByteArray, QTimeZone> known;
    // A file of thousands of made-up names must not hold them all.
    if (known.size() > 64)
        known.clear();
    auto zone = known.constFind(id);
    if (zone == known.cend())
        zone = known.insert(id, QTimeZone(id));
    return *zone;
}
}  // namespace

IcalZone::IcalZone(icalproperty* property, icaltimetype time)
    : m_utc(icaltime_is_utc(time)),
      m_tzid(property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr),
      m_fileZone(time.zone)
{
    if (m_tzid)
        m_zone = zoneNamed(icalparameter_get_tzid(m_tzid));
}

QDateTime IcalZone::toDateTime(icaltimetype time) const
{
    const QDate date(time.year, time.month, time.day);
    if (time.is_date)
        return date.startOfDay();
    const QTime clock(time.hour, time.minute, time.second);
    if (icaltime_is_utc(time))
        return QDateTime(date, clock, Qt::UTC);
    if (m_tzid) {
        if (m_zone.isValid())
            return QDateTime(date, clock, m_zone);
        if (time.zone)
            return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, time.zone));
    }
    return QDateTime(date, clock);
}

icaltimetype IcalZone::toIcal(const QDateTime& at, bool date, icalproperty* property) const
{
    QDateTime local = at.toLocalTime();
    if (m_utc) {
        local = at.toUTC();
    } else if (m_tzid) {
        if (m_zone.isValid())
            local = at.toTimeZone(m_zone);
        else if (m_fileZone)
            return icaltime_from_timet_with_zone(at.toSecsSinceEpoch(), date, const_cast<icaltimezone*>(m_fileZone));
        if (property)
            icalproperty_add_parameter(property, icalparameter_new_clone(m_tzid));
    }
    icaltimetype time = wallClock(local, date);
    if (m_utc && !date)
        time.zone = icaltimezone_get_utc_timezone();
    return time;
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
