#pragma once

#include "Platform/Calendar/IcalFileChange.h"
#include "Platform/Calendar/IcalIndex.h"
#include "Platform/Calendar/IcalOverrides.h"
#include "Platform/Calendar/IcalReader.h"
#include "Skills/CalendarStore.h"

#include <QHash>

#include <functional>
#include <memory>

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
// An event listed or found is changed as it was read then: only what differs from that reading
// is written, to the copy that was shown, and only while the texts it was read from are still
// there as they were; where another program changed or removed them meanwhile the change is
// refused and nothing is written.
// Removing an event takes all its components out of every file that holds one, each file read
// and checked before any is written; a file goes only when nothing else is left in it.
//
// A file that is not a regular file, cannot be read, holds no calendar or is too large is left
// out of a listing, which names it, and logged, as is one that is damaged, whose other events
// are listed; a large file is read a component at a time. A file whose times name a zone that
// nothing resolves is named too. A calendar that may only be read is listed; a change to a file
// that may not be written (a read-only file, folder or mount) is refused with the system's
// reason, as is one where the event's own text cannot be changed safely, the file kept. A
// symbolic link is followed: its file is changed, or removed with the link. One thread at a
// time.
class IcalCalendarStore final : public CalendarStore {
public:
    // The folder is created on first use.
    explicit IcalCalendarStore(QString folder = defaultFolder());

    // "calendar" in the data directory.
    static QString defaultFolder();

    // Makes the folder, which must be readable; the first time it is writable, removes what
    // interrupted writes left.
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
    // How an event handed out (listed or found) was read, for a change to it.
    struct Seen {
        CalendarEvent event;
        QString file;
        // Of the whole text of the VEVENT it was read from: its own, its series', or a detached override.
        size_t copy = 0;
        bool detached = false;
        // For an occurrence in its series' file: its override's, where it had one.
        std::optional<size_t> override = {};
    };
    // An event of a listing, before the copies that lose are taken out.
    struct Listed;
    // What a reading of the folder found besides its events.
    struct Found {
        QList<LeftOut> leftOut;
        QStringList unknownZones;
    };

    // The event of one UID whose VEVENTs in one calendar of `path` are `group` (placed
    // `base` after the folder's start), noted in `index`; nothing when it holds neither a
    // series nor an override with a start. Counts the VEVENTs without a start into `unlisted`.
    static std::optional<Read> readOf(const QString& path, qint64 base, QList<IcalIdentity::Component> group,
                                      const IcalReader::Text& text, IcalIndex& index, int& unlisted);
    // The fingerprint of the read's VEVENT placed at `position` in the folder.
    static size_t fingerprintAt(const Read& read, qint64 position);
    // How the event `key` stands in the read of its series: nothing when it is not there (taken
    // out, or no occurrence of it). `owns` says whether the series' file overrides or takes out
    // the occurrence itself.
    static std::optional<Seen> seenIn(const Read& read, const IcalOverrides::Key& key, bool* owns);
    // Reads every file of the folder into the index and hands each event to `visit`, those not
    // `sought` passed over (IcalReader::Text::passedOver).
    void readFolder(const Visit& visit, Found* found = nullptr, const IcalReader::Sought& sought = {});
    // Reads one file, handing over the event of `uid` in it, if any, as readFolder would.
    void readEvent(const QString& file, const QString& uid, const Visit& visit);
    // Whether `uid` is not known from the last reading, or a file it was read from has gone.
    bool stale(const QString& uid) const;
    // Reads the folder again when the UID is stale.
    void refresh(const QString& uid);
    // Whether a detached override (of `uid` at `at`) is listed: not where its series is a
    // single event, nor where the series overrides or takes out that occurrence itself.
    // `facts` keeps what was read of each series.
    bool detachedCounts(const QString& uid, const QDateTime& at, QHash<QString, QSet<qint64>>& facts);
    // The original starts of the series' occurrences that its own file overrides or takes out,
    // in seconds since the epoch: there a detached override does not count.
    static QSet<qint64> ownOccurrences(const Read& read);
    // The file named after the UID, or its `copy`th beside it.
    QString pathOf(const QString& uid, int copy = 1) const;
    // The file of a new event: the first of those names no file has.
    QString newPath(const QString& uid) const;
    // Writes a new event to a file of its own.
    bool writeNew(const CalendarEvent& event, QString* error);
    // Changes the detached override of the occurrence in `path`.
    bool saveDetached(const QString& path, const IcalOverrides::Key& key, const CalendarEvent& event, QString* error);
    // The file of an event as it was read, with the copy it was read from and the override of
    // its occurrence there; nothing, refused, when they are no longer what was read.
    std::unique_ptr<IcalFileChange> openAsSeen(const Seen& seen, const IcalOverrides::Key& key, icalcomponent** copy,
                                               const IcalOverrides::Override** own, QString* error) const;
    // Changes the event from what it was when read to `event`.
    bool saveAsSeen(const Seen& seen, const CalendarEvent& event, QString* error);
    // Forgets how the UID's events were read, once it is changed: a later change reads its files
    // as they are then.
    void changedUid(const QString& uid);

    const QString m_folder;
    IcalIndex m_index;  // as of the last reading
    QHash<QString, Seen> m_seen;  // by id, of the events the last listing or find handed out
    bool m_swept = false;
};
