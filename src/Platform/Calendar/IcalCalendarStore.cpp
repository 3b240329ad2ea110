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

// An event of a listing, before the copies that lose are taken out.
struct Listed {
    enum class Kind {
        ofSeries,  // a single event, an occurrence of a series or its override
        generated,  // an occurrence of a series' rules that no override in its file changes
        detached,  // an override in a file without its series
    };
    CalendarEvent event;
    Kind kind;
    QString uid;
    Rank rank;  // of its series' VEVENT; of its own for a detached one
    QDateTime replaces = {};  // for a detached one
};

// A series a listing gave in part, and why.
struct Cut {
    QString uid;
    Rank rank;
    QString title;
    IcalRecurrence::Cut why;
};
}  // namespace

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
    // The system's own reason: "Read-only file system", "Permission denied".
    if (::access(QFile::encodeName(m_folder).constData(), R_OK | W_OK | X_OK) != 0)
        return fail(error, QStringLiteral("%1: %2").arg(m_folder, FileIO::systemReason(errno)));
    if (!m_swept) {
        m_swept = true;
        if (const int removed = FileIO::removeLeftoverTemporaries(m_folder))
            qCInfo(lcCalendarStore, "removed %d temporary files left by an interrupted write", removed);
    }
    return true;
}

std::optional<IcalCalendarStore::Read>
IcalCalendarStore::readOf(const QString& path, qint64 base, QList<Component> group, IcalIndex& index, int& unlisted)
{
    for (Component& component : group)
        component.position += base;
    Read read{IcalIdentity::uidOf(group.first().vevent), path, base};
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
            std::optional<Read> event = readOf(path, base, group, index, unlisted);
            if (event && visit) {
                event->text = text;
                visit(*event);
            }
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
    IcalReader::readForListing(file, [&](icalcomponent*, const QList<Component>& group, const IcalReader::Text&) {
        if (IcalIdentity::uidOf(group.first().vevent) != uid)
            return;
        if (const std::optional<Read> event = readOf(file, 0, group, scratch, unlisted))
            visit(*event);
    });
}

void IcalCalendarStore::refresh(const QString& uid)
{
    // Unknown, or known from a file that has gone since.
    const QStringList files = m_index.filesOf(uid);
    if (files.isEmpty() || !std::all_of(files.begin(), files.end(), taken))
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

std::optional<CalendarEvent> IcalCalendarStore::detachedOccurrence(const QString& uid, const QDateTime& at)
{
    const IcalIndex::Copy* copy = m_index.detached(IcalOverrides::occurrenceId(uid, at));
    if (!copy)
        return std::nullopt;
    std::optional<CalendarEvent> occurrence;
    readEvent(copy->file, uid, [&](const Read& read) {
        if (read.master)
            return;
        if (const IcalOverrides::Override* override = IcalOverrides::overrideAt(read.overrides, at))
            occurrence = IcalOverrides::occurrenceOf(*override, uid);
    });
    return occurrence;
}

std::optional<CalendarStore::Listing> IcalCalendarStore::events(const QDateTime& from, const QDateTime& to,
                                                                QString* error)
{
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
        QSet<QString> overridden;
        for (const IcalOverrides::Override& override : read.overrides)
            overridden.insert(IcalOverrides::occurrenceId(read.uid, override.replaces));
        for (const CalendarEvent& event : series.events)
            listed.append({event, overridden.contains(event.id) ? Listed::Kind::ofSeries : Listed::Kind::generated,
                           read.uid, read.rank});
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
                        listed.append(
                            {*occurrence, Listed::Kind::detached, read.uid, override.rank, override.replaces});
                return;
            }
            if (!IcalRecurrence::isRecurring(read.master)) {
                // An EXDATE may take out the only occurrence.
                if (read.fields.overlaps(start, end) &&
                    !IcalRecurrence::excluded(read.master).contains(read.fields.start.toSecsSinceEpoch()))
                    listed.append({read.fields, Listed::Kind::ofSeries, read.uid, read.rank});
                return;
            }
            if (!IcalRecurrence::mayReach(read.master, IcalRecurrence::spanOf(read.master, read.fields), start, end)) {
                // Only its overrides may be in the window, by their own times.
                for (const CalendarEvent& event :
                     IcalOverrides::changedBetween(read.master, read.fields, read.overrides, start, end))
                    listed.append({event, Listed::Kind::ofSeries, read.uid, read.rank});
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
        if (const std::optional<Read> read = readOf(winners[text]->file, winners[text]->base, group, scratch, unlisted))
            listSeries(*read);
    });
    Listing listing;
    QHash<QString, QSet<qint64>> facts;
    for (const Listed& entry : listed) {
        bool kept;
        if (entry.kind == Listed::Kind::detached) {
            const IcalIndex::Copy* copy = m_index.detached(entry.event.id);
            kept = copy && copy->rank == entry.rank && detachedCounts(entry.uid, entry.replaces, facts);
        } else {
            kept = wins(entry.uid, entry.rank) &&
                   !(entry.kind == Listed::Kind::generated && m_index.detached(entry.event.id));
        }
        if (kept)
            listing.events.append(entry.event);
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
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    refresh(key.uid);
    const IcalIndex::Copy* series = m_index.master(key.uid);
    if (!series) {
        if (key.occurrence)
            *found = detachedOccurrence(key.uid, *key.occurrence);
        return true;
    }
    // A series is found through its occurrences only, a single event as a whole only.
    if (series->recurring != key.occurrence.has_value())
        return true;
    // The winning copy in its file decides.
    std::optional<Rank> best;
    bool ownsOccurrence = false;
    readEvent(series->file, key.uid, [&](const Read& read) {
        if (!read.master || (best && !IcalIdentity::wins(read.rank, *best)))
            return;
        best = read.rank;
        if (!key.occurrence) {
            const bool excluded = IcalRecurrence::excluded(read.master).contains(read.fields.start.toSecsSinceEpoch());
            *found = excluded ? std::nullopt : std::optional(read.fields);
            return;
        }
        ownsOccurrence = ownOccurrences(read).contains(key.occurrence->toSecsSinceEpoch());
        *found = IcalOverrides::occurrenceAt(read.master, read.fields, read.overrides, *key.occurrence);
    });
    if (key.occurrence && !ownsOccurrence && m_index.detached(id))
        *found = detachedOccurrence(key.uid, *key.occurrence);
    return true;
}

bool IcalCalendarStore::save(const CalendarEvent& event, QString* error)
{
    if (!reachable(error))
        return false;
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
        done = file->addOverride(*occurrence, event, error);
    }
    return done && file->store(error);
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
    m_index.addMaster(event.id, path, {}, false);
    return true;
}

bool IcalCalendarStore::remove(const QString& id, QString* error)
{
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    refresh(key.uid);
    const IcalIndex::Copy* series = m_index.master(key.uid);
    const auto missing = [&] { return fail(error, QStringLiteral("no event %1 in the calendar").arg(id)); };
    if (key.occurrence && series && series->recurring) {
        // This occurrence only: the series leaves it out, and its overrides there go.
        const std::unique_ptr<IcalFileChange> file = IcalFileChange::open(series->file, key.uid, error);
        if (!file)
            return false;
        if (!file->master())
            return missing();
        return file->exclude(*key.occurrence, error) && file->store(error);
    }
    if (key.occurrence && (series || !m_index.detached(id)))
        return missing();
    // The event with every override of it, or the detached overrides of the occurrence,
    // wherever they are; every file is read and checked before any is written.
    std::vector<std::unique_ptr<IcalFileChange>> files;
    for (const QString& path : m_index.filesOf(key.uid)) {
        std::unique_ptr<IcalFileChange> file = IcalFileChange::open(path, key.uid, error);
        if (!file || !file->remove(key.occurrence, error))
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
    if (!removed)
        return missing();
    if (!key.occurrence)
        m_index.forget(key.uid);
    return true;
}
