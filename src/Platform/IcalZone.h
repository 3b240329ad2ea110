#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <libical/ical.h>

// The zone the times of one property are written in: the IANA zone its TZID names when Qt
// knows it, else the file's own VTIMEZONE of that name, UTC, or none (floating: local time).
// Found once, so the occurrences of a series are read without looking their zone up again.
class IcalZone {
public:
    // The zone of `property` (none when null), whose value libical read as `time`.
    IcalZone(icalproperty* property, icaltimetype time);

    // A time of this zone as an instant; a date starts its day in local time.
    QDateTime toDateTime(icaltimetype time) const;
    // `at` as this zone writes it, a date when `date`: UTC, the wall-clock time of the TZID
    // (which `property`, when given, gets too) or local time.
    icaltimetype toIcal(const QDateTime& at, bool date, icalproperty* property = nullptr) const;

    // The date and clock time `at` shows in its own zone, without a zone; its date alone when
    // `date`.
    static icaltimetype wallClock(const QDateTime& at, bool date);

private:
    bool m_utc;
    icalparameter* m_tzid;
    QTimeZone m_zone;  // invalid when Qt does not know the TZID
    const icaltimezone* m_fileZone;
};
