#pragma once

#include "Skills/CalendarEvent.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Where the calendar skills keep the user's events. Reading a calendar can take a while, so
// the skills call it from a worker of their own, never from the window's thread; one call at
// a time. Every call may fail with a readable reason; a store that cannot be made or read
// fails, since an inaccessible calendar must never look like an empty one.
class CalendarStore {
public:
    // A file of the calendar that a listing could not read, or not in full.
    struct LeftOut {
        // notRegular: a FIFO, a device, a folder, or a link to one; damaged: read, but some
        // of its components were lost to damaged lines.
        enum class Reason { unreadable, notACalendar, tooLarge, notRegular, damaged };
        QString file;  // its name in the calendar's folder
        Reason reason;
        qint64 largest = 0;  // for a file too large: the largest size read, in bytes
    };

    // What a look at a window found.
    struct Listing {
        // The events overlapping it (one of no length counts when it starts inside), ordered
        // by start and then id; each occurrence of a series is an event of its own.
        QList<CalendarEvent> events;
        // The titles of the series that repeat too often for every occurrence in the window
        // to be listed: their earliest are.
        QStringList cut;
        // The titles of the series whose occurrences could not all be worked out: the
        // question's work ran out, or a rule is of a form that is not expanded.
        QStringList unfinished;
        // The files whose events may be missing, in the folder's order.
        QList<LeftOut> leftOut;
        // The files with times in a zone that nothing resolves, read as local time.
        QStringList unknownZones;
    };

    virtual ~CalendarStore() = default;

    // Whether the store can be read and written.
    virtual bool reachable(QString* error) = 0;
    virtual std::optional<Listing> events(const QDateTime& from, const QDateTime& to, QString* error) = 0;
    // The event with this id into `found`, which stays empty when there is none; false only
    // when the store cannot be read.
    virtual bool find(const QString& id, std::optional<CalendarEvent>* found, QString* error) = 0;
    // Writes the event, replacing the one with the same id, if any.
    virtual bool save(const CalendarEvent& event, QString* error) = 0;
    // Writes a new event whose id no other has (a fresh UUID): nothing is looked for to replace.
    virtual bool add(const CalendarEvent& event, QString* error) = 0;
    virtual bool remove(const QString& id, QString* error) = 0;
};
