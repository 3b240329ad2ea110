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

    bool operator==(const CalendarEvent&) const = default;
};
