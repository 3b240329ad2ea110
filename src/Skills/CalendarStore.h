#pragma once

#include "Skills/CalendarEvent.h"

#include <QList>
#include <QString>

#include <optional>

// Where the calendar skills keep the user's events. GUI thread only; every call may fail
// with a readable reason.
class CalendarStore {
public:
    virtual ~CalendarStore() = default;

    // Every event, ordered by start and then id. Nothing when the store cannot be made,
    // read or written: an inaccessible calendar must never look like an empty one.
    virtual std::optional<QList<CalendarEvent>> events(QString* error) = 0;
    // Writes the event, replacing the one with the same id, if any.
    virtual bool save(const CalendarEvent& event, QString* error) = 0;
    virtual bool remove(const QString& id, QString* error) = 0;
};
