#include "Platform/Calendar/IcalReader.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Platform/Calendar/IcalZone.h"
#include "Support/FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <cerrno>
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
    return QStringLiteral("%1 KiB").arg(IcalSplitter::kMaxLineBytes >> 10);
}

// Feeds the whole of an open file to `take`, a chunk at a time; why it stopped early, if it
// did. Reading stops past kMaxListedBytes, for a file that grew since it was measured.
std::optional<QString> readChunks(QFile& file, const std::function<void(QByteArrayView)>& take)
{
    constexpr qsizetype kChunkBytes = 1 << 16;
    if (!file.seek(0))
        return file.errorString();
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 read = file.read(chunk.data(), chunk.size());
        if (read < 0)
            return file.errorString();
        if (read == 0)
            return std::nullopt;
        total += read;
        if (total > IcalReader::kMaxListedBytes)
            return tooLarge(IcalReader::kMaxListedBytes);
        take(QByteArrayView(chunk.constData(), read));
    }
}

// Whether a line names a zone (a TZID parameter, any case), which a listing looks at on every
// property. One folded before its value is kept whatever it names.
bool namesAZone(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype at = 0; at < line.size() && (quoted || line.at(at) != ':'); ++at) {
        quoted ^= line.at(at) == '"';
        if (line.at(at) == '\n' || (at + 4 <= line.size() && qstrnicmp(line.data() + at, "TZID", 4) == 0))
            return true;
    }
    return false;
}

// What of a VEVENT's text a listing reads, which libical reads far faster than the whole:
// of its own lines (not those of a component inside it), those of its fields, its UID and
// SEQUENCE, its rules and dates, the occurrence it replaces, and any that names a zone; and
// whether it is a series or an override of one of a series' occurrences (an RRULE, RDATE or
// RECURRENCE-ID), which are read together once their UID is known, from its UID lines alone.
// Each text keeps the first and last lines; neither is there without a UID line, since the
// whole text then names the event.
struct Outline {
    QByteArray listed;
    QByteArray named;
    bool ofASeries = false;
};

Outline outlineOf(const QByteArray& text)
{
    static const QList<QByteArray> kListed = {"UID",      "SEQUENCE", "DTSTART",  "DTEND",
                                              "DURATION", "SUMMARY",  "LOCATION", "DESCRIPTION",
                                              "RRULE",    "RDATE",    "EXDATE",   "RECURRENCE-ID"};
    Outline outline;
    QByteArrayView first, last;
    int depth = 0;
    for (qsizetype begin = 0; begin < text.size();) {
        const qsizetype end = std::min(IcalContentLine::lineEnd(text, begin) + 1, text.size());
        const QByteArrayView line(text.constData() + begin, end - begin);
        begin = end;
        if (first.isEmpty())
            first = line;
        last = line;
        const QByteArray name = IcalSplitter::nameOf(line);
        if (name == "BEGIN" || name == "END") {
            depth += name == "BEGIN" ? 1 : -1;
            continue;
        }
        if (depth != 1 || !(kListed.contains(name) || namesAZone(line)))
            continue;
        outline.listed += line;
        if (name == "UID")
            outline.named += line;
        outline.ofASeries = outline.ofASeries || name == "RRULE" || name == "RDATE" || name == "RECURRENCE-ID";
    }
    if (outline.named.isEmpty()) {
        outline.listed.clear();
        return outline;
    }
    outline.listed = first.toByteArray() + outline.listed + last.toByteArray();
    outline.named = first.toByteArray() + outline.named + last.toByteArray();
    return outline;
}

// The file's VEVENTs, handed over as readForListing says.
class EventReader {
public:
    explicit EventReader(const IcalReader::Events& events) : m_events(events) {}

    // A calendar begins, with the texts of its VTIMEZONEs.
    void begin(const QList<QByteArray>& zones)
    {
        m_calendarZones = zones;
        m_calendar = IcalReader::calendarWith(m_calendarZones);
    }

    void child(const QByteArray& lines)
    {
        const qint64 position = m_position++;
        const size_t fingerprint = IcalReader::fingerprintOf(lines);
        if (lines.contains('\0'))
            ++holdingNul;
        const Outline outline = outlineOf(lines);
        IcalTree::Owned vevent = IcalReader::veventOf(outline.named.isEmpty() ? lines
                                                      : outline.ofASeries     ? outline.named
                                                                              : outline.listed);
        // An empty UID, too, leaves the whole text to name the event.
        const char* given = vevent ? icalcomponent_get_uid(vevent.get()) : nullptr;
        const bool whole = outline.named.isEmpty() || !given || !*given;
        if (whole && !outline.named.isEmpty())
            vevent = IcalReader::veventOf(lines);
        if (!vevent) {
            ++unreadable;
            return;
        }
        const QByteArray& read = whole ? lines : outline.listed;
        if (outline.ofASeries) {
            // Held as text, a small part of what its tree takes.
            const QString uid = IcalIdentity::uidOf(vevent.get());
            auto group = m_series.find(uid);
            if (group == m_series.end()) {
                m_order.append(uid);
                group = m_series.insert(uid, {});
            }
            group->append({position, read, fingerprint});
            return;
        }
        std::vector<Read> alone;
        alone.push_back({std::move(vevent), position});
        hand(std::move(alone), {m_calendarZones, {{position, read, fingerprint}}});
    }

    void end()
    {
        for (const QString& uid : std::exchange(m_order, {}))
            handAgain({m_calendarZones, m_series.take(uid)});
        m_series.clear();
        m_calendar.reset();
    }

    // Reads the VEVENTs of the text and hands them over together.
    void handAgain(const IcalReader::Text& text)
    {
        std::vector<Read> group;
        for (const IcalReader::Text::Vevent& read : text.vevents)
            if (IcalTree::Owned vevent = IcalReader::veventOf(read.lines))
                group.push_back({std::move(vevent), read.position});
        hand(std::move(group), text);
    }

    int unreadable = 0;  // components libical could not read as a VEVENT
    int holdingNul = 0;

private:
    struct Read {
        IcalTree::Owned vevent;
        qint64 position;
    };

    // Hands the VEVENTs over as children of the calendar, which lets them go again.
    void hand(std::vector<Read> vevents, const IcalReader::Text& text)
    {
        QList<IcalIdentity::Component> given;
        for (Read& read : vevents) {
            given.append({read.vevent.get(), read.position});
            icalcomponent_add_component(m_calendar.get(), read.vevent.release());
        }
        if (!given.isEmpty())
            m_events(m_calendar.get(), given, text);
        for (const IcalIdentity::Component& component : given)
            IcalTree::removeChild(m_calendar.get(), component.vevent);
    }

    const IcalReader::Events& m_events;
    QList<QByteArray> m_calendarZones;  // of the calendar being read
    IcalTree::Owned m_calendar;
    qint64 m_position = 0;  // of the next VEVENT in the file
    QList<QString> m_order;  // the UIDs of the series, in file order
    QHash<QString, QList<IcalReader::Text::Vevent>> m_series;  // the texts of a series and its overrides
};

// What a splitter found damaged in a file, for the log; nothing when it is whole.
std::optional<QString> damageOf(const IcalSplitter::Damage& damage, int unreadable, int holdingNul)
{
    if (!damage.any() && !unreadable && !holdingNul)
        return std::nullopt;
    QStringList parts;
    const auto count = [&](int n, const char* what) {
        if (n)
            parts << QStringLiteral("%1: %2").arg(QLatin1String(what)).arg(n);
    };
    count(damage.unterminated, "components without their END");
    count(damage.misnamed, "BEGIN or END lines that do not match");
    count(damage.tooDeep, "components nested too deep");
    count(unreadable, "events libical cannot read");
    count(holdingNul, "events holding a NUL byte");
    return parts.join(QStringLiteral(", "));
}

}  // namespace

namespace IcalReader {

IcalTree::Owned calendarWith(const QList<QByteArray>& zones)
{
    IcalTree::Owned calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (const QByteArray& zoneText : zones) {
        IcalTree::Owned zone(icalparser_parse_string(zoneText.constData()));
        if (zone && icalcomponent_isa(zone.get()) == ICAL_VTIMEZONE_COMPONENT) {
            IcalZone::guard(zone.get());
            icalcomponent_add_component(calendar.get(), zone.release());
        }
    }
    return calendar;
}

size_t fingerprintOf(const QByteArray& text)
{
    return qHash(text);
}

IcalTree::Owned veventOf(const QByteArray& text)
{
    IcalTree::Owned vevent(icalparser_parse_string(text.constData()));
    if (vevent && icalcomponent_isa(vevent.get()) != ICAL_VEVENT_COMPONENT)
        vevent.reset();
    if (vevent)
        IcalZone::guard(vevent.get());
    return vevent;
}

std::optional<Reason> readForListing(const QString& path, const Events& events)
{
    const auto leaveOut = [&](Reason reason, const QString& why) {
        qCWarning(lcCalendarFiles, "skipped %s: %s", qUtf8Printable(path), qUtf8Printable(why));
        return reason;
    };
    // Looked at before it is opened, which would wait on a FIFO; opened so that it cannot.
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return leaveOut(Reason::notRegular,
                        info.isDir() ? FileIO::systemReason(EISDIR) : QStringLiteral("not a regular file"));
    QFile file(path);
    QString reason;
    if (!FileIO::openForReading(file, &reason))
        return leaveOut(Reason::unreadable, reason);
    if (file.size() > kMaxListedBytes)
        return leaveOut(Reason::tooLarge, tooLarge(kMaxListedBytes));
    const auto stopped = [&](const QString& why) {
        return leaveOut(file.size() > kMaxListedBytes ? Reason::tooLarge : Reason::unreadable, why);
    };
    // The time zones first: a file may define them after the events that use them.
    QHash<int, QList<QByteArray>> zones;
    IcalSplitter zoneSplitter({"VTIMEZONE"}, {[](int) {},
                                              [&](const IcalSplitter::Child& child) {
                                                  if (!child.text.isEmpty())
                                                      zones[child.calendar].append(child.text);
                                              },
                                              [](int) {}});
    std::optional<QString> failure = readChunks(file, [&](QByteArrayView bytes) { zoneSplitter.add(bytes); });
    if (failure)
        return stopped(*failure);
    zoneSplitter.finish();
    if (!zoneSplitter.calendars())
        return leaveOut(Reason::notACalendar, QStringLiteral("not an iCalendar file"));

    EventReader reader(events);
    IcalSplitter splitter({"VEVENT"}, {[&](int calendar) { reader.begin(zones.value(calendar)); },
                                       [&](const IcalSplitter::Child& child) {
                                           if (!child.text.isEmpty())
                                               reader.child(child.text);
                                       },
                                       [&](int) { reader.end(); }});
    failure = readChunks(file, [&](QByteArrayView bytes) { splitter.add(bytes); });
    // What was read before a failure is listed, and the file named.
    splitter.finish();
    if (splitter.longLines())
        qCWarning(lcCalendarFiles, "skipped lines longer than %s in %s: %d", qUtf8Printable(lineLimit()),
                  qUtf8Printable(path), splitter.longLines());
    if (failure)
        return stopped(*failure);
    if (const std::optional<QString> damage = damageOf(splitter.damage(), reader.unreadable, reader.holdingNul))
        return leaveOut(Reason::damaged, QStringLiteral("damaged (%1)").arg(*damage));
    return std::nullopt;
}

void readAgain(const QList<Text>& texts, const Reread& reread)
{
    qsizetype current = 0;
    const Events events = [&](icalcomponent*, const QList<IcalIdentity::Component>& vevents, const Text&) {
        reread(current, vevents);
    };
    EventReader reader(events);
    for (; current < texts.size(); ++current) {
        if (current == 0 || texts[current].zones != texts[current - 1].zones)
            reader.begin(texts[current].zones);
        reader.handAgain(texts[current]);
    }
}

std::optional<CalendarEvent> eventOf(icalcomponent* vevent)
{
    icalproperty* startProperty = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    if (!startProperty)
        return std::nullopt;
    CalendarEvent event;
    event.id = IcalIdentity::uidOf(vevent);
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
