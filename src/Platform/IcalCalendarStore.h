#pragma once

#include "Skills/CalendarStore.h"

#include <QDateTime>
#include <QHash>

#include <functional>
#include <optional>

typedef struct icalcomponent_impl icalcomponent;

// The calendar as a folder of iCalendar files (the layout that CalDAV sync tools share), read
// and written with libical. Files it writes hold one event each; files put there by other
// tools may hold several, and a recurring series with overrides of single occurrences.
// Times are written with their IANA zone (TZID plus its VTIMEZONE), or in UTC.
//
// Each occurrence of a series is an event of its own, with the id "<UID>#<original start in
// UTC>", listed from a year before to two years after now; a change to it becomes an override
// (RECURRENCE-ID) and its removal an EXDATE of the series. Removing an event takes its own
// component (and its overrides) out of its file and rewrites the file atomically; the file
// goes only when nothing else is left in it. A change rewrites only the event's own
// properties, so whatever else another tool put in the file stays.
//
// A file that cannot be read or parsed is skipped and logged. A file that libical can read
// but not write back as it was (several calendars in one file, an unknown wrapper, anything
// libical repaired on reading) is listed but never written: a change to it is refused with
// the reason, and the file kept. GUI thread only.
class IcalCalendarStore final : public CalendarStore {
public:
    // The folder is created on first use; `now` (the system clock by default) places the
    // window of listed occurrences.
    explicit IcalCalendarStore(QString folder = defaultFolder(), std::function<QDateTime()> now = {});

    // "calendar" in the data directory.
    static QString defaultFolder();

    std::optional<QList<CalendarEvent>> events(QString* error) override;
    bool save(const CalendarEvent& event, QString* error) override;
    bool remove(const QString& id, QString* error) override;

private:
    // A file's calendar, parsed (or new when the file does not exist); owned by the caller.
    struct Loaded {
        QString path;
        icalcomponent* calendar;
    };

    // Makes the folder; the first time it is usable, removes what interrupted writes left.
    bool ensureFolder(QString* error);
    // The file that holds the event: where it was last read, else named after the UID.
    QString pathOf(const QString& uid) const;
    // Reads the folder again when the file of `uid` is not known from the last reading.
    void refreshPaths(const QString& uid);
    // Nothing, with the reason, when the file cannot be written back faithfully.
    std::optional<Loaded> load(const QString& path, QString* error) const;
    // Writes the calendar over its file atomically, or removes the file when it holds nothing.
    bool store(const Loaded& loaded, QString* error) const;

    const QString m_folder;
    const std::function<QDateTime()> m_now;
    QHash<QString, QString> m_paths;  // UID → file, as of the last read
    bool m_swept = false;
};
