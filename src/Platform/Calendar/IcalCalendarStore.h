#pragma once

#include "Platform/Calendar/IcalIndex.h"
#include "Platform/Calendar/IcalOverrides.h"
#include "Platform/Calendar/IcalReader.h"
#include "Skills/CalendarStore.h"

#include <QHash>

#include <functional>

// The calendar as a folder of iCalendar files (the layout that CalDAV sync tools share), read
// with libical (IcalReader, IcalRecurrence, IcalOverrides). Files it makes hold one event each,
// its times in their IANA zone (TZID plus its VTIMEZONE) or in UTC (IcalWriter); files put
// there by other tools may hold several, and a recurring series with overrides of single
// occurrences.
//
// Each occurrence of a series is an event of its own, with the id "<UID>#<original start in
// UTC>"; a change to it becomes an override (RECURRENCE-ID) and its removal an EXDATE of the
// series. The folder is one calendar: of the copies of an event in it (IcalIndex) one is
// listed and changed, and a detached override (one in a file without its series) stands for
// its occurrence, or is an event of its own where the series is in no file.
// A change is made in place (IcalFileChange): only the changed event's components, and in them
// only the properties the change is about, are written; every other byte of the file stays.
// Removing an event takes all its components out of every file that holds one, each file read
// and checked before any is written; a file goes only when nothing else is left in it.
//
// A file that is not a regular file, cannot be read, holds no calendar or is too large is left
// out of a listing, which names it, and logged, as is one that is damaged, whose other events
// are listed; a large file is read a component at a time. A file whose times name a zone that
// nothing resolves is named too. A change is refused, with the reason and the file kept, only
// where the event's own text cannot be changed safely. One thread at a time.
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
    // One event of one calendar of a file, as a reading of the folder hands it over: the winning
    // copy of its own VEVENT there, with its fields and the overrides of its occurrences; or,
    // where the calendar holds no series of the UID, its detached overrides.
    struct Read {
        QString uid;
        QString file;
        qint64 base = 0;  // the file's place in the folder
        IcalIdentity::Rank rank = {};  // of the series' VEVENT
        icalcomponent* master = nullptr;
        CalendarEvent fields = {};
        IcalOverrides::Overrides overrides = {};
        IcalReader::Text text = {};  // what it was read from, in a reading of the folder
    };
    using Visit = std::function<void(const Read& read)>;
    // What a reading of the folder found besides its events.
    struct Found {
        QList<LeftOut> leftOut;
        QStringList unknownZones;
    };

    // The event of one UID whose VEVENTs in one calendar of `path` are `group` (placed
    // `base` after the folder's start), noted in `index`; nothing when it holds neither a
    // series nor an override with a start. Counts the VEVENTs without a start into `unlisted`.
    static std::optional<Read> readOf(const QString& path, qint64 base, QList<IcalIdentity::Component> group,
                                      IcalIndex& index, int& unlisted);
    // Reads every file of the folder into the index and hands each event to `visit`, those not
    // `sought` passed over (IcalReader::Text::passedOver).
    void readFolder(const Visit& visit, Found* found = nullptr, const IcalReader::Sought& sought = {});
    // Reads one file, handing over the event of `uid` in it, if any, as readFolder would.
    void readEvent(const QString& file, const QString& uid, const Visit& visit);
    // Reads the folder again when `uid` is not known from the last reading, or a file it was
    // read from has gone.
    void refresh(const QString& uid);
    // Whether a detached override (of `uid` at `at`) is listed: not where its series is a
    // single event, nor where the series overrides or takes out that occurrence itself.
    // `facts` keeps what was read of each series.
    bool detachedCounts(const QString& uid, const QDateTime& at, QHash<QString, QSet<qint64>>& facts);
    // The original starts of the series' occurrences that its own file overrides or takes out,
    // in seconds since the epoch: there a detached override does not count.
    static QSet<qint64> ownOccurrences(const Read& read);
    // The occurrence `at` as the winning detached override of it says, if there is one.
    std::optional<CalendarEvent> detachedOccurrence(const QString& uid, const QDateTime& at);
    // The file named after the UID, or its `copy`th beside it.
    QString pathOf(const QString& uid, int copy = 1) const;
    // The file of a new event: the first of those names no file has.
    QString newPath(const QString& uid) const;
    // Writes a new event to a file of its own.
    bool writeNew(const CalendarEvent& event, QString* error);
    // Changes the detached override of the occurrence in `path`.
    bool saveDetached(const QString& path, const IcalOverrides::Key& key, const CalendarEvent& event, QString* error);

    const QString m_folder;
    IcalIndex m_index;  // as of the last reading
    bool m_swept = false;
};
