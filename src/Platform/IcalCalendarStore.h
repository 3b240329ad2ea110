#pragma once

#include "Skills/CalendarStore.h"

#include <QHash>

// The calendar as a folder of iCalendar files, one event per ".ics" file (the layout that
// CalDAV sync tools share), read and written with libical. Times are written with their
// IANA zone (TZID plus its VTIMEZONE), or in UTC. A file that does not parse is skipped and
// logged; a change rewrites only the event's own properties, so whatever else another tool
// put in the file stays. GUI thread only.
class IcalCalendarStore final : public CalendarStore {
public:
    // The folder is created on first use.
    explicit IcalCalendarStore(QString folder = defaultFolder());

    // "calendar" in the data directory.
    static QString defaultFolder();

    std::optional<QList<CalendarEvent>> events(QString* error) override;
    bool save(const CalendarEvent& event, QString* error) override;
    bool remove(const QString& id, QString* error) override;

private:
    bool ensureFolder(QString* error) const;
    // The file that holds the event: where it was last read, else named after the id.
    QString pathOf(const QString& id) const;

    const QString m_folder;
    QHash<QString, QString> m_paths;  // event id → file, as of the last read
};
