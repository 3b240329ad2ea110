#include "Platform/IcalCalendarStore.h"

#include "Platform/IcalOverrides.h"
#include "Platform/IcalReader.h"
#include "Platform/IcalRecurrence.h"
#include "Platform/IcalWriter.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

#include <algorithm>
#include <cerrno>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcCalendarStore, "app.parlivox.calendar")

namespace {
using FileIO::fail;
using IcalOverrides::Key;

// A VEVENT of `uid` with no fields yet, at the end of the calendar.
icalcomponent* newEvent(icalcomponent* calendar, const QString& uid)
{
    icalcomponent* vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_set_uid(vevent, uid.toUtf8().constData());
    icalcomponent_add_component(calendar, vevent);
    return vevent;
}

// The file's calendar for a change: parsed, or new when there is no file yet.
IcalTree::Owned load(const QString& path, QString* error)
{
    return QFileInfo::exists(path) ? IcalReader::readForChange(path, error) : IcalWriter::newCalendar();
}
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

void IcalCalendarStore::readFolder(const Visit& visit, QList<LeftOut>* leftOut)
{
    QHash<QString, QString> paths;
    const QDir folder(m_folder);
    // Whatever bears a calendar's name is named when it is left out: a FIFO, a folder.
    const QDir::Filters entries = QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot;
    for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, entries, QDir::Name)) {
        const QString path = folder.filePath(name);
        int unlisted = 0;  // events without UID or start
        const auto read = [&](icalcomponent*, const QList<icalcomponent*>& vevents) {
            // All of them before any series: an override may come before its series in the file.
            const QHash<QString, IcalOverrides::Overrides> overrides =
                visit ? IcalOverrides::overridesByUid(vevents) : QHash<QString, IcalOverrides::Overrides>();
            for (icalcomponent* vevent : vevents) {
                if (icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY))
                    continue;
                const std::optional<CalendarEvent> event = IcalReader::eventOf(vevent);
                if (!event) {
                    qCWarning(lcCalendarStore, "skipped an event without UID or start in %s", qUtf8Printable(path));
                    ++unlisted;
                    continue;
                }
                paths.insert(event->id, path);
                if (visit)
                    visit(vevent, *event, overrides.value(event->id));
            }
        };
        std::optional<LeftOut::Reason> failure = IcalReader::readForListing(path, read);
        if (!failure && unlisted)
            failure = LeftOut::damaged;
        if (failure && leftOut)
            leftOut->append({name, *failure, *failure == LeftOut::tooLarge ? IcalReader::kMaxListedBytes : 0});
    }
    m_paths = std::move(paths);
}

QString IcalCalendarStore::pathOf(const QString& uid) const
{
    const QString known = m_paths.value(uid);
    return known.isEmpty() ? m_folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(uid)) +
                                 QStringLiteral(".ics")
                           : known;
}

void IcalCalendarStore::refreshPaths(const QString& uid)
{
    if (!m_paths.contains(uid))
        readFolder({});
}

std::optional<CalendarStore::Listing> IcalCalendarStore::events(const QDateTime& from, const QDateTime& to,
                                                                QString* error)
{
    if (!reachable(error))
        return std::nullopt;
    Listing listing;
    IcalRecurrence::Budget budget;
    // Compared with every event: in UTC, local time would be worked out again each time.
    const QDateTime start = from.toUTC(), end = to.toUTC();
    readFolder(
        [&](icalcomponent* vevent, const CalendarEvent& event, const IcalOverrides::Overrides& overrides) {
        if (!IcalRecurrence::isRecurring(vevent)) {
            if (event.overlaps(start, end))
                listing.events.append(event);
            return;
        }
        const IcalOverrides::Occurrences series =
            IcalOverrides::occurrencesBetween(vevent, event, overrides, start, end, budget);
        listing.events.append(series.events);
        if (series.cut == IcalRecurrence::Cut::none)
            return;
        const bool often = series.cut == IcalRecurrence::Cut::repeatsTooOften;
        qCInfo(lcCalendarStore, "listed only part of %s between %s and %s: %s", qUtf8Printable(event.id),
               qUtf8Printable(from.toString(Qt::ISODate)), qUtf8Printable(to.toString(Qt::ISODate)),
               often ? "it repeats too often" : "its occurrences could not all be worked out");
        (often ? listing.cut : listing.unfinished).append(event.title);
    },
        &listing.leftOut);
    std::stable_sort(listing.events.begin(), listing.events.end(), [](const CalendarEvent& a, const CalendarEvent& b) {
        return a.start != b.start ? a.start < b.start : a.id < b.id;
    });
    return listing;
}

bool IcalCalendarStore::find(const QString& id, std::optional<CalendarEvent>* found, QString* error)
{
    found->reset();
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    refreshPaths(key.uid);
    if (!m_paths.contains(key.uid))
        return true;
    // The first calendar of the file that holds the event decides.
    bool decided = false;
    IcalReader::readForListing(m_paths.value(key.uid), [&](icalcomponent* calendar, const QList<icalcomponent*>&) {
        icalcomponent* master = decided ? nullptr : IcalOverrides::masterOf(calendar, key.uid);
        const std::optional<CalendarEvent> event = master ? IcalReader::eventOf(master) : std::nullopt;
        if (!event)
            return;
        decided = true;
        // A series is found through its occurrences only.
        if (!IcalRecurrence::isRecurring(master))
            *found = key.occurrence ? std::nullopt : event;
        else if (key.occurrence)
            *found = IcalOverrides::occurrenceAt(master, *event, IcalOverrides::overridesOf(calendar, key.uid),
                                                 *key.occurrence);
    });
    return true;
}

bool IcalCalendarStore::save(const CalendarEvent& event, QString* error)
{
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(event.id);
    refreshPaths(key.uid);
    const QString path = pathOf(key.uid);
    const IcalTree::Owned calendar = load(path, error);
    if (!calendar)
        return false;
    icalcomponent* vevent = IcalOverrides::masterOf(calendar.get(), key.uid);
    if (key.occurrence) {
        if (!vevent)
            return fail(error, QStringLiteral("%1 holds no series %2").arg(path, key.uid));
        vevent = IcalOverrides::overrideFor(calendar.get(), vevent, *key.occurrence);
    } else if (!vevent) {
        vevent = newEvent(calendar.get(), key.uid);
    }
    return write(calendar.get(), vevent, event, key.uid, path, error);
}

bool IcalCalendarStore::add(const CalendarEvent& event, QString* error)
{
    if (!reachable(error))
        return false;
    const QString path = pathOf(event.id);
    // A name taken after all: the event goes where a change would put it.
    if (QFileInfo::exists(path))
        return save(event, error);
    const IcalTree::Owned calendar = IcalWriter::newCalendar();
    return write(calendar.get(), newEvent(calendar.get(), event.id), event, event.id, path, error);
}

bool IcalCalendarStore::write(icalcomponent* calendar, icalcomponent* vevent, const CalendarEvent& event,
                              const QString& uid, const QString& path, QString* error)
{
    IcalWriter::writeFields(calendar, vevent, event);
    if (!IcalWriter::store(path, calendar, error))
        return false;
    m_paths.insert(uid, path);
    return true;
}

bool IcalCalendarStore::remove(const QString& id, QString* error)
{
    if (!reachable(error))
        return false;
    const Key key = IcalOverrides::keyOf(id);
    refreshPaths(key.uid);
    const QString path = pathOf(key.uid);
    if (!QFileInfo::exists(path))
        return fail(error, QStringLiteral("no event %1 in the calendar").arg(id));
    const IcalTree::Owned calendar = IcalReader::readForChange(path, error);
    if (!calendar)
        return false;
    if (key.occurrence) {
        // This occurrence only: the series leaves it out, and its override goes.
        icalcomponent* master = IcalOverrides::masterOf(calendar.get(), key.uid);
        if (!master)
            return fail(error, QStringLiteral("%1 holds no series %2").arg(path, key.uid));
        IcalOverrides::removeOccurrence(calendar.get(), master, *key.occurrence);
    } else {
        // The event with every override of it; the other events of the file stay.
        bool removed = false;
        for (icalcomponent* vevent : IcalTree::children(calendar.get(), ICAL_VEVENT_COMPONENT)) {
            if (IcalTree::text(icalcomponent_get_uid(vevent)) == key.uid) {
                IcalTree::removeChild(calendar.get(), vevent);
                removed = true;
            }
        }
        if (!removed)
            return fail(error, QStringLiteral("no event %1 in %2").arg(id, path));
    }
    if (!IcalWriter::store(path, calendar.get(), error))
        return false;
    if (!key.occurrence)
        m_paths.remove(key.uid);
    return true;
}
