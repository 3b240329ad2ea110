#pragma once

#include <QDateTime>
#include <QString>

// One calendar event. Times keep the zone they were written in; compare them as instants.
struct CalendarEvent {
    QString id;  // the event's UID
    QDateTime start;
    QDateTime end;
    QString title;  // empty when it has none
    QString location;
    QString notes;

    // Whether it takes place in [from, to); one of no length does when it starts there.
    bool overlaps(const QDateTime& from, const QDateTime& to) const
    {
        return start < to && (end > from || start >= from);
    }

    bool operator==(const CalendarEvent&) const = default;
};
