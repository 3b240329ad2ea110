#include "Platform/Calendar/IcalCalendarStore.h"

#include "Platform/Calendar/IcalFileChange.h"
#include "Platform/Calendar/IcalReader.h"
#include "Platform/Calendar/IcalRecurrence.h"
#include "Platform/Calendar/IcalWriter.h"
#include "Platform/Calendar/IcalZone.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcCalendarStore, "app.parlivox.calendar")

namespace {
using FileIO::fail;
using IcalIdentity::Component;
using IcalIdentity::Rank;
using IcalOverrides::Key;

// A copy's place in the folder: its file's, then its own in the file.
constexpr int kFilePositionShift = 32;

bool taken(const QString& path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

bool changedMeanwhile(const QString& file, QString* error)
{
    return fail(
        error,
        QStringLiteral("%1 is left as it is: the event was changed by another program since it was read").arg(file));
}

// A series a listing gave in part, and why.
struct Cut {
    QString uid;
    Rank rank;
    QString title;
    IcalRecurrence::Cut why;
};
}  // namespace

struct IcalCalendarStore::Listed {
    enum class Kind {
        ofSeries,  // a single event, an occurrence of a series or its override
        generated,  // an occurrence of a series' rules that no override in its file changes
        detached,  // an override in a file without its series
    };
    Seen seen;
    Kind kind;
    QString uid;
    Rank rank;  // of its series' VEVENT; of its own for a detached one
    QDateTime replaces = {};  // for a detached one
};

IcalCalendarStore::IcalCalendarStore(QString folder) : m_folder(std::move(folder))
{
}

QString IcalCalendarStore::defaultFolder()
{
    return AppPaths::root() + QStringLiteral("/calendar");
}

bool IcalCalendarStore::reachable(QString* error)
{
    if (!FileIO::ensureDirectory(m_folder, false, error))
        return false;
    // Reading needs no more (a read-only mount, a folder another user shares); a change that
    // cannot be written says so itself. The system's own reason: "Permission denied".
    if (!FileIO::mayAccess(m_folder, R_OK | X_OK))
        return fail(error, QStringLiteral("%1: %2").arg(m_folder, FileIO::systemReason(errno)));
    if (!m_swept && FileIO::mayAccess(m_folder, W_OK)) {
        m_swept = true;
        if (const int removed = FileIO::removeLeftoverTemporaries(m_folder))
            qCInfo(lcCalendarStore, "removed %d temporary files left by an interrupted write", removed);
    }
    return true;
}

std::optional<IcalCalendarStore::Read> IcalCalendarStore::readOf(const QString& path, qint64 base,
                                                                 QList<Component> group, const IcalReader::Text& text,
                                                                 IcalIndex& index, int& unlisted)
{
    for (Component& component : group)
        component.position += base;
    Read read{IcalIdentity::uidOf(group.first().vevent), path, base};
    read.text = text;
    for (const Component& component : group) {
        if (icalcomponent_get_first_property(component.vevent, ICAL_RECURRENCEID_PROPERTY))
            continue;
        const std::optional<CalendarEvent> event = IcalReader::eventOf(component.vevent);
        if (!event) {
            ++unlisted;
            continue;
        }
        const Rank rank = IcalIdentity::rankOf(component);
        index.addMaster(read.uid, path, rank, IcalRecurrence::isRecurring(component.vevent));
        if (!read.master || IcalIdentity::wins(rank, read.rank)) {
            read.master = component.vevent;
            read.rank = rank;
            read.fields = *event;
        }
    }
    read.overrides = IcalOverrides::overridesOf(
        group, read.uid, read.master ? std::optional<bool>(IcalOverrides::ofDates(read.master)) : std::nullopt);
    for (const IcalOverrides::Override& override : read.overrides) {
        if (!icalcomponent_get_first_property(override.vevent, ICAL_DTSTART_PROPERTY))
            ++unlisted;
        else if (!read.master)
            index.addDetached(IcalOverrides::occurrenceId(read.uid, override.replaces), read.uid, path, override.rank);
        else
            index.addFile(read.uid, path);
    }
    if (!read.master && read.overrides.isEmpty())
        return std::nullopt;
    return read;
}

size_t IcalCalendarStore::fingerprintAt(const Read& read, qint64 position)
{
    for (const IcalReader::Text::Vevent& vevent : read.text.vevents)
        if (vevent.position == position - read.base)
            return vevent.fingerprint;
    return 0;
}

std::optional<IcalCalendarStore::Seen> IcalCalendarStore::seenIn(const Read& read, const Key& key, bool* owns)
{
    Seen seen{{}, read.file, fingerprintAt(read, read.rank.position)};
    if (!key.occurrence) {
        // An EXDATE may take out the only occurrence.
        if (IcalRecurrence::excluded(read.master).contains(read.fields.start.toSecsSinceEpoch()))
            return std::nullopt;
        seen.event = read.fields;
        return seen;
    }
    *owns = ownOccurrences(read).contains(key.occurrence->toSecsSinceEpoch());
    const std::optional<CalendarEvent> occurrence =
        IcalOverrides::occurrenceAt(read.master, read.fields, read.overrides, *key.occurrence);
    if (!occurrence)
        return std::nullopt;
    seen.event = *occurrence;
    if (const IcalOverrides::Override* own = IcalOverrides::overrideAt(read.overrides, *key.occurrence))
        seen.override = fingerprintAt(read, own->rank.position);
    return seen;
}

void IcalCalendarStore::readFolder(const Visit& visit, Found* found, const IcalReader::Sought& sought)
{
    IcalIndex index;
    const QDir folder(m_folder);
    // Whatever bears a calendar's name is named when it is left out: a FIFO, a folder.
    const QDir::Filters entries = QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot;
    qint64 ordinal = 0;
    for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, entries, QDir::Name)) {
        const QString path = folder.filePath(name);
        const qint64 base = ordinal++ << kFilePositionShift;
        int unlisted = 0;  // events without a start
        QByteArray unknownZone;
        const auto read = [&](icalcomponent*, const QList<Component>& group, const IcalReader::Text& text) {
            for (const Component& component : group)
                if (found && unknownZone.isEmpty())
                    unknownZone = IcalZone::unknownIn(component.vevent);
            const std::optional<Read> event = readOf(path, base, group, text, index, unlisted);
            if (event && visit)
                visit(*event);
        };
        std::optional<LeftOut::Reason> failure = IcalReader::readForListing(path, read, sought);
        if (unlisted)
            qCWarning(lcCalendarStore, "skipped events without a start in %s: %d", qUtf8Printable(path), unlisted);
        if (!failure && unlisted)
            failure = LeftOut::Reason::damaged;
        if (!found)
            continue;
        if (failure)
            found->leftOut.append(
                {name, *failure, *failure == LeftOut::Reason::tooLarge ? IcalReader::kMaxListedBytes : 0});
        if (!unknownZone.isEmpty()) {
            qCWarning(lcCalendarStore, "read times of the unknown zone \"%s\" in %s as local time",
                      unknownZone.constData(), qUtf8Printable(path));
            found->unknownZones.append(name);
        }
    }
    m_index = std::move(index);
}

void IcalCalendarStore::readEvent(const QString& file, const QString& uid, const Visit& visit)
{
    IcalIndex scratch;
    int unlisted = 0;
    const auto read = [&](icalcomponent*, const QList<Component>& group, const IcalReader::Text& text) {
        if (IcalIdentity::uidOf(group.first().vevent) != uid)
            return;
        if (const std::optional<Read> event = readOf(file, 0, group, text, scratch, unlisted))
            visit(*event);
    };
    IcalReader::readForListing(file, read, {{}, uid});
}

bool IcalCalendarStore::stale(const QString& uid) const
{
    const QStringList files = m_index.filesOf(uid);
    return files.isEmpty() || !std::all_of(files.begin(), files.end(), taken);
}

void IcalCalendarStore::refresh(const QString& uid)
{
    if (stale(uid))
        readFolder({});
}

QString IcalCalendarStore::pathOf(const QString& uid, int copy) const
{
    const QString name = m_folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(uid));
    return copy > 1 ? QStringLiteral("%1-%2.ics").arg(name).arg(copy) : name + QStringLiteral(".ics");
}

QString IcalCalendarStore::newPath(const QString& uid) const
{
    // A name another file took (one whose events have other names, a FIFO) is never written over.
    int copy = 1;
    while (taken(pathOf(uid, copy)))
        ++copy;
    return pathOf(uid, copy);
}

bool IcalCalendarStore::detachedCounts(const QString& uid, const QDateTime& at, QHash<QString, QSet<qint64>>& facts)
{
    const IcalIndex::Copy* series = m_index.master(uid);
    if (!series)
        return true;
    if (!series->recurring)
        return false;
    auto known = facts.find(uid);
    if (known == facts.end()) {
        // What the series' own file says of its occurrences wins over a detached override.
        std::optional<Rank> best;
        QSet<qint64> taken;
        readEvent(series->file, uid, [&](const Read& read) {
            if (!read.master || (best && !IcalIdentity::wins(read.rank, *best)))
                return;
            best = read.rank;
            taken = ownOccurrences(read);
        });
        known = facts.insert(uid, taken);
    }
    return !known->contains(at.toSecsSinceEpoch());
}

QSet<qint64> IcalCalendarStore::ownOccurrences(const Read& read)
{
    QSet<qint64> own = IcalRecurrence::excluded(read.master);
    for (const IcalOverrides::Override& override : read.overrides)
        own.insert(override.replaces.toSecsSinceEpoch());
    return own;
}

std::optional<CalendarStore::Listing> IcalCalendarStore::events(const QDateTime& from, const QDateTime& to,
                                                                QString* error)
{
    m_seen.clear();
    if (!reachable(error))
        return std::nullopt;
    IcalRecurrence::Budget budget;
    // Compared with every event: in UTC, local time would be worked out again each time.
    const QDateTime start = from.toUTC(), end = to.toUTC();
    QList<Listed> listed;
    QList<Cut> cuts;
    const auto listSeries = [&](const Read& read) {
        const IcalOverrides::Occurrences series =
            IcalOverrides::occurrencesBetween(read.master, read.fields, read.overrides, start, end, budget);
        QHash<QString, size_t> overridden;
        for (const IcalOverrides::Override& override : read.overrides)
            overridden.insert(IcalOverrides::occurrenceId(read.uid, override.replaces),
                              fingerprintAt(read, override.rank.position));
        for (const CalendarEvent& event : series.events) {
            const auto own = overridden.constFind(event.id);
            const bool changed = own != overridden.cend();
            listed.append({{event, read.file, fingerprintAt(read, read.rank.position), false,
                            changed ? std::optional(*own) : std::nullopt},
                           changed ? Listed::Kind::ofSeries : Listed::Kind::generated,
                           read.uid,
                           read.rank});
        }
        if (series.cut != IcalRecurrence::Cut::none)
            cuts.append({read.uid, read.rank, read.fields.title, series.cut});
    };
    // The series that may reach the window, as text: worked out once the folder is read and
    // which copy wins is known, so a copy that loses spends nothing of the question's work.
    QList<Read> later;
    Found found;
    readFolder(
        [&](const Read& read) {
            // Noted in the index, and nothing of it in the window.
            if (read.text.passedOver)
                return;
            if (!read.master) {
                for (const IcalOverrides::Override& override : read.overrides)
                    if (const auto occurrence = IcalOverrides::occurrenceOf(override, read.uid);
                        occurrence && occurrence->overlaps(start, end))
                        listed.append({{*occurrence, read.file, fingerprintAt(read, override.rank.position), true},
                                       Listed::Kind::detached,
                                       read.uid,
                                       override.rank,
                                       override.replaces});
                return;
            }
            if (!IcalRecurrence::isRecurring(read.master)) {
                // An EXDATE may take out the only occurrence.
                if (read.fields.overlaps(start, end) &&
                    !IcalRecurrence::excluded(read.master).contains(read.fields.start.toSecsSinceEpoch()))
                    listed.append({{read.fields, read.file, fingerprintAt(read, read.rank.position)},
                                   Listed::Kind::ofSeries,
                                   read.uid,
                                   read.rank});
                return;
            }
            if (!IcalRecurrence::mayReach(read.master, IcalRecurrence::spanOf(read.master, read.fields), start, end)) {
                // Only its overrides may be in the window, by their own times.
                for (const CalendarEvent& event :
                     IcalOverrides::changedBetween(read.master, read.fields, read.overrides, start, end)) {
                    const IcalOverrides::Override* own =
                        IcalOverrides::overrideAt(read.overrides, *IcalOverrides::keyOf(event.id).occurrence);
                    listed.append({{event, read.file, fingerprintAt(read, read.rank.position), false,
                                    fingerprintAt(read, own->rank.position)},
                                   Listed::Kind::ofSeries,
                                   read.uid,
                                   read.rank});
                }
                return;
            }
            later.append({read.uid, read.file, read.base, read.rank, nullptr, {}, {}, read.text});
        },
        &found, {IcalReader::Window{start, end}});

    // Of the copies read, the winning ones.
    const auto wins = [&](const QString& uid, Rank rank) {
        const IcalIndex::Copy* copy = m_index.master(uid);
        return copy && copy->rank == rank;
    };
    QList<const Read*> winners;
    QList<IcalReader::Text> texts;
    for (const Read& series : std::as_const(later)) {
        if (wins(series.uid, series.rank)) {
            winners.append(&series);
            texts.append(series.text);
        }
    }
    IcalIndex scratch;
    int unlisted = 0;
    IcalReader::readAgain(texts, [&](qsizetype text, const QList<Component>& group) {
        const Read& winner = *winners[text];
        if (const std::optional<Read> read = readOf(winner.file, winner.base, group, winner.text, scratch, unlisted))
            listSeries(*read);
    });
    Listing listing;
    QHash<QString, QSet<qint64>> facts;
    for (const Listed& entry : listed) {
        bool kept;
        const QString& id = entry.seen.event.id;
        if (entry.kind == Listed::Kind::detached) {
            const IcalIndex::Copy* copy = m_index.detached(id);
            kept = copy && copy->rank == entry.rank && detachedCounts(entry.uid, entry.replaces, facts);
        } else {
            kept = wins(entry.uid, entry.rank) && !(entry.kind == Listed::Kind::generated && m_index.detached(id));
        }
        if (kept) {
            listing.events.append(entry.seen.event);
            m_seen.insert(id, entry.seen);
        }
    }
    for (const Cut& cut : cuts) {
        if (!wins(cut.uid, cut.rank))
            continue;
        const bool often = cut.why == IcalRecurrence::Cut::repeatsTooOften;
        qCInfo(lcCalendarStore, "listed only part of %s between %s and %s: %s", qUtf8Printable(cut.uid),
               qUtf8Printable(from.toString(Qt::ISODate)), qUtf8Printable(to.toString(Qt::ISODate)),
               often ? "it repeats too often" : "its occurrences could not all be worked out");
        (often ? listing.cut : listing.unfinished).append(cut.title);
    }
    std::stable_sort(listing.events.begin(), listing.events.end(), [](const CalendarEvent& a, const CalendarEvent& b) {
        return a.start != b.start ? a.start < b.start : a.id < b.id;
    });
    listing.leftOut = std::move(found.leftOut);
    listing.unknownZones = std::move(found.unknownZones);
    return listing;
}

bool IcalCalendarStore::find(const QString& id, std::optional<CalendarEvent>* found, QString* error)
{
    found->reset();
    m_seen.clear();
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    // The event as each file holding it says: the winning copy there of its series, and of the
    // detached override of the occurrence.
    struct Held {
        Rank rank;
        std::optional<Seen> seen = {};
        bool owns = false;  // the series' file overrides or takes out the occurrence itself
    };
    QHash<QString, Held> ofSeries, detached;
    const auto hold = [](QHash<QString, Held>& held, const QString& file, const Rank& rank) -> Held* {
        const auto known = held.constFind(file);
        if (known != held.cend() && !IcalIdentity::wins(rank, known->rank))
            return nullptr;
        return &*held.insert(file, {rank});
    };
    const Visit visit = [&](const Read& read) {
        if (read.uid != key.uid)
            return;
        if (read.master) {
            if (Held* held = hold(ofSeries, read.file, read.rank))
                held->seen = seenIn(read, key, &held->owns);
            return;
        }
        const IcalOverrides::Override* override =
            key.occurrence ? IcalOverrides::overrideAt(read.overrides, *key.occurrence) : nullptr;
        Held* held = override ? hold(detached, read.file, override->rank) : nullptr;
        if (const auto occurrence = held ? IcalOverrides::occurrenceOf(*override, key.uid) : std::nullopt)
            held->seen = Seen{*occurrence, read.file, fingerprintAt(read, override->rank.position), true};
    };
    // One reading: the folder where the event is not known from the last, else its own files;
    // every other event only for which of its copies wins.
    if (stale(key.uid))
        readFolder(visit, nullptr, {{}, key.uid});
    else
        for (const QString& file : m_index.filesOf(key.uid))
            readEvent(file, key.uid, visit);

    const IcalIndex::Copy* series = m_index.master(key.uid);
    const IcalIndex::Copy* override = m_index.detached(id);
    std::optional<Seen> seen;
    if (!series) {
        if (key.occurrence && override)
            seen = detached.value(override->file).seen;
    } else if (series->recurring == key.occurrence.has_value()) {
        // A series is found through its occurrences only, a single event as a whole only.
        const Held held = ofSeries.value(series->file);
        seen = key.occurrence && !held.owns && override ? detached.value(override->file).seen : held.seen;
    }
    if (seen) {
        *found = seen->event;
        m_seen.insert(id, *seen);
    }
    return true;
}

bool IcalCalendarStore::save(const CalendarEvent& event, QString* error)
{
    if (!reachable(error))
        return false;
    if (const auto seen = m_seen.constFind(event.id); seen != m_seen.cend())
        return saveAsSeen(*seen, event, error);
    // Never read: as the files say now.
    const Key key = IcalOverrides::keyOf(event.id);
    refresh(key.uid);
    const IcalIndex::Copy* series = m_index.master(key.uid);
    const IcalIndex::Copy* detached = key.occurrence ? m_index.detached(event.id) : nullptr;
    if (!key.occurrence && !series)
        return writeNew(event, error);
    if (!series && detached)
        return saveDetached(detached->file, key, event, error);
    if (!series || (key.occurrence && !series->recurring))
        return fail(error, QStringLiteral("the calendar holds no series %1").arg(key.uid));
    const std::unique_ptr<IcalFileChange> file = IcalFileChange::open(series->file, key.uid, error);
    if (!file)
        return false;
    icalcomponent* master = file->master();
    const std::optional<CalendarEvent> fields = master ? IcalReader::eventOf(master) : std::nullopt;
    if (!fields)
        return fail(error, QStringLiteral("%1 holds no event %2").arg(series->file, key.uid));
    bool done;
    if (!key.occurrence) {
        done = file->change(master, *fields, event, error);
    } else if (const IcalOverrides::Override* own = IcalOverrides::overrideAt(file->overrides(), *key.occurrence)) {
        done = file->change(own->vevent, IcalOverrides::occurrenceOf(*own, key.uid).value_or(*fields), event, error);
    } else if (detached) {
        return saveDetached(detached->file, key, event, error);
    } else {
        const std::optional<CalendarEvent> occurrence =
            IcalOverrides::occurrenceAt(master, *fields, file->overrides(), *key.occurrence);
        if (!occurrence)
            return fail(error, QStringLiteral("no event %1 in the calendar").arg(event.id));
        done = file->addOverride(master, *occurrence, event, error);
    }
    return done && file->store(error);
}

std::unique_ptr<IcalFileChange> IcalCalendarStore::openAsSeen(const Seen& seen, const Key& key, icalcomponent** copy,
                                                              const IcalOverrides::Override** own, QString* error) const
{
    if (!taken(seen.file)) {
        changedMeanwhile(seen.file, error);
        return nullptr;
    }
    std::unique_ptr<IcalFileChange> file = IcalFileChange::open(seen.file, key.uid, error);
    if (!file)
        return nullptr;
    *copy = file->copyOf(seen.copy);
    *own = key.occurrence && !seen.detached ? IcalOverrides::overrideAt(file->overrides(), *key.occurrence) : nullptr;
    if (!*copy || (*own ? file->fingerprintOf((*own)->vevent) : std::nullopt) != seen.override) {
        changedMeanwhile(seen.file, error);
        return nullptr;
    }
    return file;
}

bool IcalCalendarStore::saveAsSeen(const Seen& seen, const CalendarEvent& event, QString* error)
{
    const Key key = IcalOverrides::keyOf(event.id);
    icalcomponent* copy = nullptr;
    const IcalOverrides::Override* own = nullptr;
    const std::unique_ptr<IcalFileChange> file = openAsSeen(seen, key, &copy, &own, error);
    if (!file)
        return false;
    bool done;
    if (own)
        done = file->change(own->vevent, seen.event, event, error);
    else if (key.occurrence && !seen.detached)
        done = file->addOverride(copy, seen.event, event, error);
    else
        done = file->change(copy, seen.event, event, error);
    if (!done || !file->store(error))
        return false;
    changedUid(key.uid);
    return true;
}

void IcalCalendarStore::changedUid(const QString& uid)
{
    m_seen.removeIf([&](const auto& seen) { return IcalOverrides::keyOf(seen.key()).uid == uid; });
}

bool IcalCalendarStore::saveDetached(const QString& path, const Key& key, const CalendarEvent& event, QString* error)
{
    const std::unique_ptr<IcalFileChange> file = IcalFileChange::open(path, key.uid, error);
    if (!file)
        return false;
    const IcalOverrides::Override* override = IcalOverrides::overrideAt(file->overrides(), *key.occurrence);
    const std::optional<CalendarEvent> was = override ? IcalOverrides::occurrenceOf(*override, key.uid) : std::nullopt;
    if (!was)
        return fail(error, QStringLiteral("no event %1 in %2").arg(event.id, path));
    return file->change(override->vevent, *was, event, error) && file->store(error);
}

bool IcalCalendarStore::add(const CalendarEvent& event, QString* error)
{
    if (!reachable(error))
        return false;
    // A name taken after all: the event goes where a change would put it.
    if (taken(pathOf(event.id)))
        return save(event, error);
    return writeNew(event, error);
}

bool IcalCalendarStore::writeNew(const CalendarEvent& event, QString* error)
{
    const QString path = newPath(event.id);
    if (!IcalWriter::writeNew(path, event, error))
        return false;
    changedUid(event.id);
    m_index.addMaster(event.id, path, {}, false);
    return true;
}

bool IcalCalendarStore::remove(const QString& id, QString* error)
{
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    const auto missing = [&] { return fail(error, QStringLiteral("no event %1 in the calendar").arg(id)); };
    const auto done = [&] {
        changedUid(key.uid);
        if (!key.occurrence)
            m_index.forget(key.uid);
        return true;
    };
    // The file it was read from, while it still says what was read.
    std::unique_ptr<IcalFileChange> read;
    icalcomponent* copy = nullptr;
    const auto seen = m_seen.constFind(id);
    if (seen != m_seen.cend()) {
        const IcalOverrides::Override* own = nullptr;
        read = openAsSeen(*seen, key, &copy, &own, error);
        if (!read)
            return false;
    } else {
        refresh(key.uid);
    }
    const IcalIndex::Copy* series = m_index.master(key.uid);
    if (key.occurrence && series && series->recurring) {
        // This occurrence only: the series leaves it out, and its overrides there go.
        const bool ofSeries = read && !seen->detached;
        std::unique_ptr<IcalFileChange> file =
            ofSeries ? std::move(read) : IcalFileChange::open(series->file, key.uid, error);
        if (!file)
            return false;
        icalcomponent* master = ofSeries ? copy : file->master();
        if (!master)
            return missing();
        return file->exclude(master, *key.occurrence, error) && file->store(error) && done();
    }
    if (key.occurrence && (series || !m_index.detached(id)))
        return missing();
    // The event with every override of it, or the detached overrides of the occurrence,
    // wherever they are; every file is read and checked before any is written.
    std::vector<std::unique_ptr<IcalFileChange>> files;
    for (const QString& path : m_index.filesOf(key.uid)) {
        std::unique_ptr<IcalFileChange> file =
            read && path == seen->file ? std::move(read) : IcalFileChange::open(path, key.uid, error);
        if (!file || !file->remove(key.occurrence, error))
            return false;
        if (file->changed() && !file->writable(error))
            return false;
        files.push_back(std::move(file));
    }
    bool removed = false;
    for (const std::unique_ptr<IcalFileChange>& file : files) {
        if (!file->changed())
            continue;
        removed = true;
        if (!file->store(error))
            return false;
    }
    return removed ? done() : missing();
}
