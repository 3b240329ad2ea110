#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <libical/ical.h>

// The zone the times of one property are written in. Its TZID is read, in this order: as the
// IANA zone of that id when Qt lists it (Qt takes any other name too, as a zone at UTC+0); as
// the file's own VTIMEZONE of that name; as the zone of the time zone database that the name
// means: an id the database holds (a link such as "US/Eastern"), a Windows name ("Pacific
// Standard Time"), or an id behind a vendor's prefix ("/vendor.org/2007_1/America/New_York").
// A TZID that none of these resolves is read as local time, and the zone is not `known()`.
// Without a TZID a time is in UTC or floating (local time).
// Found once, so the occurrences of a series are read without looking their zone up again.
class IcalZone {
public:
    // The zone of `property` (none when null), whose value libical read as `time`.
    IcalZone(icalproperty* property, icaltimetype time);

    // False when the property names a zone that nothing resolves.
    bool known() const { return m_known; }

    // A time of this zone as an instant; a date starts its day in local time.
    QDateTime toDateTime(icaltimetype time) const;
    // `at` as this zone writes it, a date when `date`: UTC, the wall-clock time of the TZID or
    // local time.
    icaltimetype toIcal(const QDateTime& at, bool date) const;

    // The TZID of one of the VEVENT's times that no zone resolves, or nothing when all do.
    static QByteArray unknownIn(icalcomponent* vevent);
    // libical reads a TZID the file does not define as the name of a file of the time zone
    // database, which a ".." in it leads out of (to a FIFO that holds the reader for good):
    // every such TZID in the tree, and the VTIMEZONE of that name, is renamed with its dots
    // made underscores, a zone nothing resolves. Returns whether any was.
    static bool guard(icalcomponent* root);

    // The date and clock time `at` shows in its own zone, without a zone; its date alone when
    // `date`.
    static icaltimetype wallClock(const QDateTime& at, bool date);

private:
    bool m_utc;
    icalparameter* m_tzid;
    QTimeZone m_zone;  // invalid unless the TZID resolves to a zone Qt reads
    icaltimezone* m_fileZone = nullptr;  // the file's definition, when that decides
    bool m_known = true;
};
