#include "Platform/IcalReader.h"

#include "Platform/IcalRecurrence.h"
#include "Platform/IcalSplitter.h"
#include "Platform/IcalZone.h"
#include "Support/FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <vector>

Q_LOGGING_CATEGORY(lcCalendarFiles, "app.parlivox.calendar")

namespace {
using IcalTree::text;
using Reason = CalendarStore::LeftOut::Reason;

QString tooLarge(qint64 limit)
{
    return QStringLiteral("it is larger than %1 MiB").arg(limit >> 20);
}

QString lineLimit()
{
    return QStringLiteral("%1 KiB").arg(IcalReader::kMaxLineBytes >> 10);
}

// Why a file cannot be opened, in the system's words, a folder's too.
QString openFailure(const QFile& file)
{
    return QFileInfo(file.fileName()).isDir() ? FileIO::systemReason(EISDIR) : file.errorString();
}

// The lines of an open file, each with its line end; a line longer than kMaxLineBytes is
// left out (and counted) without being held. Reading stops past kMaxListedBytes, for a file
// that grew since it was measured.
class Lines {
public:
    explicit Lines(QFile& file) : m_file(file), m_chunk(kChunkBytes, Qt::Uninitialized) {}

    // Hands every line to `take`; why it stopped early, if it did.
    std::optional<QString> readAll(const std::function<void(const QByteArray&)>& take)
    {
        if (!m_file.seek(0))
            return m_file.errorString();
        qint64 total = 0;
        QByteArray line;
        bool dropping = false;  // in the rest of an over-long line
        for (;;) {
            const qint64 read = m_file.read(m_chunk.data(), m_chunk.size());
            if (read < 0)
                return m_file.errorString();
            if (read == 0)
                break;
            total += read;
            if (total > IcalReader::kMaxListedBytes)
                return tooLarge(IcalReader::kMaxListedBytes);
            const char* at = m_chunk.constData();
            const char* const end = at + read;
            while (at < end) {
                const char* newline = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)));
                const char* const next = newline ? newline + 1 : end;
                if (!dropping) {
                    line.append(at, next - at);
                    if (line.size() > IcalReader::kMaxLineBytes) {
                        ++dropped;
                        dropping = true;
                        line.clear();
                    }
                }
                if (newline) {
                    if (!dropping)
                        take(line);
                    dropping = false;
                    line.clear();
                }
                at = next;
            }
        }
        if (!line.isEmpty())
            take(line);
        return std::nullopt;
    }

    int dropped = 0;

private:
    static constexpr qsizetype kChunkBytes = 1 << 16;

    QFile& m_file;
    QByteArray m_chunk;
};

// A VCALENDAR holding the file's VTIMEZONEs of one calendar, read from their text.
IcalTree::Owned calendarWith(const QList<QByteArray>& zones)
{
    IcalTree::Owned calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (const QByteArray& zoneText : zones) {
        IcalTree::Owned zone(icalparser_parse_string(zoneText.constData()));
        if (zone && icalcomponent_isa(zone.get()) == ICAL_VTIMEZONE_COMPONENT)
            icalcomponent_add_component(calendar.get(), zone.release());
    }
    return calendar;
}

// Whether the VEVENT is a series or an override of one of a series' occurrences, which are
// read together.
bool ofASeries(icalcomponent* vevent)
{
    return IcalRecurrence::isRecurring(vevent) || icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY);
}

// The file's VEVENTs, handed over as readForListing says.
class EventReader {
public:
    EventReader(QHash<int, QList<QByteArray>> zones, const IcalReader::Events& events)
        : m_zones(std::move(zones)), m_events(events)
    {
    }

    void begin(int calendar) { m_calendar = calendarWith(m_zones.value(calendar)); }

    void child(const QByteArray& text)
    {
        IcalTree::Owned vevent(icalparser_parse_string(text.constData()));
        if (!vevent || icalcomponent_isa(vevent.get()) != ICAL_VEVENT_COMPONENT)
            return;
        if (ofASeries(vevent.get())) {
            m_series.push_back(std::move(vevent));
            return;
        }
        icalcomponent_add_component(m_calendar.get(), vevent.get());
        m_events(m_calendar.get(), {vevent.get()});
        IcalTree::removeChild(m_calendar.get(), vevent.release());
    }

    void end()
    {
        QList<icalcomponent*> series;
        for (IcalTree::Owned& vevent : m_series) {
            series.append(vevent.get());
            icalcomponent_add_component(m_calendar.get(), vevent.release());
        }
        m_series.clear();
        if (!series.isEmpty())
            m_events(m_calendar.get(), series);
        m_calendar.reset();
    }

private:
    const QHash<int, QList<QByteArray>> m_zones;
    const IcalReader::Events& m_events;
    IcalTree::Owned m_calendar;
    std::vector<IcalTree::Owned> m_series;
};

// Whether a line of `data` is longer than kMaxLineBytes.
bool hasLongLine(const QByteArray& data)
{
    for (qsizetype start = 0; start < data.size();) {
        qsizetype end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        if (end - start > IcalReader::kMaxLineBytes)
            return true;
        start = end;
    }
    return false;
}

// Why libical's reading of the file cannot be written back as the file: its root is not one
// VCALENDAR (several calendars, an unknown wrapper), or libical repaired something on the
// way in (X-LIC-ERROR), which writing would make permanent. Nothing when it can.
std::optional<QString> unfaithful(icalcomponent* root)
{
    if (icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT)
        return QStringLiteral("it is not one VCALENDAR");
    QList<icalcomponent*> pending{root};
    while (!pending.isEmpty()) {
        icalcomponent* component = pending.takeLast();
        if (icalproperty* repair = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
            return QStringLiteral("libical had to repair it (%1)").arg(text(icalproperty_get_xlicerror(repair)));
        pending.append(IcalTree::children(component, ICAL_ANY_COMPONENT));
    }
    return std::nullopt;
}
}  // namespace

namespace IcalReader {

std::optional<Reason> readForListing(const QString& path, const Events& events)
{
    const auto leaveOut = [&](Reason reason, const QString& why) {
        qCWarning(lcCalendarFiles, "skipped %s: %s", qUtf8Printable(path), qUtf8Printable(why));
        return reason;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return leaveOut(Reason::unreadable, openFailure(file));
    if (file.size() > kMaxListedBytes)
        return leaveOut(Reason::tooLarge, tooLarge(kMaxListedBytes));
    // The time zones first: a file may define them after the events that use them.
    QHash<int, QList<QByteArray>> zones;
    IcalSplitter zoneSplitter("VTIMEZONE", {[](int) {},
                                            [&](int calendar, const QByteArray& text) { zones[calendar].append(text); },
                                            [](int) {}});
    Lines lines(file);
    std::optional<QString> failure = lines.readAll([&](const QByteArray& line) { zoneSplitter.add(line); });
    if (failure)
        return leaveOut(file.size() > kMaxListedBytes ? Reason::tooLarge : Reason::unreadable, *failure);
    zoneSplitter.finish();
    if (!zoneSplitter.calendars())
        return leaveOut(Reason::notACalendar, QStringLiteral("not an iCalendar file"));

    EventReader reader(std::move(zones), events);
    IcalSplitter splitter("VEVENT", {[&](int calendar) { reader.begin(calendar); },
                                     [&](int, const QByteArray& text) { reader.child(text); },
                                     [&](int) { reader.end(); }});
    lines.dropped = 0;
    failure = lines.readAll([&](const QByteArray& line) { splitter.add(line); });
    // What was read before a failure is listed, and the file named.
    splitter.finish();
    if (lines.dropped)
        qCWarning(lcCalendarFiles, "skipped lines longer than %s in %s: %d", qUtf8Printable(lineLimit()),
                  qUtf8Printable(path), lines.dropped);
    if (splitter.unterminated())
        qCWarning(lcCalendarFiles, "skipped components without their END in %s: %d", qUtf8Printable(path),
                  splitter.unterminated());
    if (failure)
        return leaveOut(file.size() > kMaxListedBytes ? Reason::tooLarge : Reason::unreadable, *failure);
    return std::nullopt;
}

IcalTree::Owned readForChange(const QString& path, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        FileIO::fail(error, reason);
        return IcalTree::Owned();
    };
    const auto unchanged = [&](const QString& reason) {
        return refuse(QStringLiteral("%1 cannot be written back as it is: %2; it is left unchanged").arg(path, reason));
    };
    if (QFileInfo(path).size() > kMaxChangedBytes)
        return unchanged(tooLarge(kMaxChangedBytes));
    QString reason;
    const std::optional<QByteArray> data = FileIO::readAll(path, &reason);
    if (!data)
        return refuse(QStringLiteral("%1: %2").arg(path, reason));
    // It may have grown since it was measured.
    if (data->size() > kMaxChangedBytes)
        return unchanged(tooLarge(kMaxChangedBytes));
    // Never replace a file with what libical made of it unless that is the file.
    if (hasLongLine(*data))
        return unchanged(QStringLiteral("a line is longer than %1").arg(lineLimit()));
    IcalTree::Owned root(icalparser_parse_string(data->constData()));
    if (!root)
        return refuse(QStringLiteral("%1 is not an iCalendar file; it is left as it is").arg(path));
    if (const std::optional<QString> why = unfaithful(root.get()))
        return unchanged(*why);
    return root;
}

std::optional<CalendarEvent> eventOf(icalcomponent* vevent)
{
    icalproperty* startProperty = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const char* uid = icalcomponent_get_uid(vevent);
    if (!startProperty || !uid || !*uid)
        return std::nullopt;
    CalendarEvent event;
    event.id = text(uid);
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    event.start = IcalZone(startProperty, start).toDateTime(start);
    // libical derives the end from DURATION when there is no DTEND.
    const icaltimetype end = icalcomponent_get_dtend(vevent);
    icalproperty* endProperty = icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY);
    event.end = icaltime_is_null_time(end) ? event.start
                                           : IcalZone(endProperty ? endProperty : startProperty, end).toDateTime(end);
    event.title = text(icalcomponent_get_summary(vevent));
    event.location = text(icalcomponent_get_location(vevent));
    event.notes = text(icalcomponent_get_description(vevent));
    if (!event.start.isValid() || !event.end.isValid())
        return std::nullopt;
    return event;
}

}  // namespace IcalReader
