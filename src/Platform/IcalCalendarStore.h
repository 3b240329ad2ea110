#pragma once

#include "Skills/CalendarStore.h"

#include <QHash>

#include <functional>

typedef struct icalcomponent_impl icalcomponent;
namespace IcalOverrides {
struct Override;
}

// The calendar as a folder of iCalendar files (the layout that CalDAV sync tools share), read
// and written with libical (IcalReader, IcalRecurrence, IcalOverrides, IcalWriter). Files it
// writes hold one event each; files put there by other tools may hold several, and a
// recurring series with overrides of single occurrences. Times are written with their IANA
// zone (TZID plus its VTIMEZONE), or in UTC.
//
// Each occurrence of a series is an event of its own, with the id "<UID>#<original start in
// UTC>"; a change to it becomes an override (RECURRENCE-ID) and its removal an EXDATE of the
// series. Removing an event takes its own component (and its overrides) out of its file and
// rewrites the file atomically; the file goes only when nothing else is left in it. A change
// rewrites only the event's own properties, so whatever else another tool put in the file
// stays.
//
// A file that is not a regular file, cannot be read, holds no calendar or is too large is left
// out of a listing, which names it, and logged, as is one that is damaged, whose other events
// are listed; a large file is read a component at a time. A file that
// libical can read but not write back as it was (several calendars in one file, an unknown
// wrapper, anything libical repaired or was not given on reading) is listed but never
// written: a change to it is refused with the reason, and the file kept. One thread at a time.
class IcalCalendarStore final : public CalendarStore {
public:
    // The folder is created on first use.
    explicit IcalCalendarStore(QString folder = defaultFolder());

    // "calendar" in the data directory.
    static QString defaultFolder();

    // Makes the folder; the first time it is usable, removes what interrupted writes left.
    bool reachable(QString* error) override;
    std::optional<Listing> events(const QDateTime& from, const QDateTime& to, QString* error) override;
    bool find(const QString& id, std::optional<CalendarEvent>* found, QString* error) override;
    bool save(const CalendarEvent& event, QString* error) override;
    // Writes the event to a file named after its id without reading the folder first.
    bool add(const CalendarEvent& event, QString* error) override;
    bool remove(const QString& id, QString* error) override;

private:
    using Visit = std::function<void(icalcomponent* vevent, const CalendarEvent& event,
                                     const QList<IcalOverrides::Override>& overrides)>;

    // Reads every file of the folder, noting which holds which UID, and hands each event's own
    // VEVENT to `visit`, with its fields and the overrides of its occurrences; the files it
    // could not read, or not in full, go to `leftOut`.
    void readFolder(const Visit& visit, QList<LeftOut>* leftOut = nullptr);
    // The file that holds the event: where it was last read, else named after the UID.
    QString pathOf(const QString& uid) const;
    // Reads the folder again when the file of `uid` is not known from the last reading.
    void refreshPaths(const QString& uid);
    // Sets the event's fields on `vevent` and writes `calendar` to `path`, the file of `uid`.
    bool write(icalcomponent* calendar, icalcomponent* vevent, const CalendarEvent& event, const QString& uid,
               const QString& path, QString* error);

    const QString m_folder;
    QHash<QString, QString> m_paths;  // UID → file, as of the last read
    bool m_swept = false;
};
