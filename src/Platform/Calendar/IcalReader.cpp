#include "Platform/Calendar/IcalReader.h"

#include "Platform/Calendar/IcalEventOutline.h"
#include "Platform/Calendar/IcalHeldTexts.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Platform/Calendar/IcalTextWindow.h"
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

// The file's VEVENTs, handed over as readForListing says.
class EventReader {
public:
    explicit EventReader(const IcalReader::Events& events, IcalReader::Sought sought = {})
        : m_events(events), m_sought(std::move(sought))
    {
    }

    // A calendar begins, with the texts of its VTIMEZONEs.
    void begin(const QList<QByteArray>& zones)
    {
        m_calendarZones = zones;
        m_calendar = IcalReader::calendarWith(m_calendarZones);
        if (m_sought.window)
            m_window.emplace(m_sought.window->from, m_sought.window->to, zones);
    }

    void child(const QByteArray& lines)
    {
        const qint64 position = m_position++;
        const size_t fingerprint = IcalReader::fingerprintOf(lines);
        // libical reads a text only up to a NUL byte: no change can be made to such an event.
        const bool holdsNul = lines.contains('\0');
        holdingNul += holdsNul;
        const IcalEventOutline outline = IcalEventOutline::of(lines);
        std::optional<QString> uid = outline.uid;
        if (!uid && !outline.listed.isEmpty())
            uid = givenUid(outline.identity());
        IcalTree::Owned vevent;
        if (!uid) {
            // Without a UID, or with an empty one, the whole text names the event.
            vevent = IcalReader::veventOf(lines);
            if (!vevent) {
                ++unreadable;
                return;
            }
            uid = IcalIdentity::uidOf(vevent.get());
        }
        const QByteArray& read = vevent ? lines : outline.listed;
        // One libical cannot read whole is read as a full reading reads it, so that a window's
        // reading finds the same damage.
        const bool inFull = vevent || sought(*uid) || holdsNul || (m_window && m_window->mayReach(outline.dates));
        if (outline.ofASeries) {
            // Held as text, a small part of what its tree takes.
            auto found = m_groupOf.constFind(*uid);
            if (found == m_groupOf.cend()) {
                found = m_groupOf.insert(*uid, m_groups.size());
                m_groups.emplaceBack();
            }
            const qsizetype group = *found;
            m_groups[group].append({position, m_held.add(read), fingerprint, qint32(outline.identityEnd),
                                    qint32(outline.endLine), inFull, outline.override});
            return;
        }
        if (vevent) {
            std::vector<Read> alone;
            alone.push_back({std::move(vevent), position});
            hand(std::move(alone), {m_calendarZones, {{position, read, fingerprint}}});
        } else {
            handAgain({m_calendarZones, {{position, inFull ? read : outline.identity(), fingerprint}}, !inFull});
        }
    }

    void end()
    {
        for (QList<Held>& group : m_groups)
            handSeries(std::exchange(group, {}));
        m_groups.clear();
        m_groupOf.clear();
        m_held.clear();
        m_calendar.reset();
    }

    // Reads the VEVENTs of the text and hands them over together.
    void handAgain(const IcalReader::Text& text)
    {
        std::vector<Read> group;
        for (const IcalReader::Text::Vevent& read : text.vevents) {
            if (IcalTree::Owned vevent = IcalReader::veventOf(read.lines))
                group.push_back({std::move(vevent), read.position});
            else
                ++unreadable;
        }
        hand(std::move(group), text);
    }

    int unreadable = 0;  // components libical could not read as a VEVENT
    int holdingNul = 0;

private:
    struct Read {
        IcalTree::Owned vevent;
        qint64 position;
    };
    // A VEVENT of a series held until its calendar is read.
    struct Held {
        qint64 position;
        IcalHeldTexts::Place listed;
        size_t fingerprint;
        qint32 identityEnd;  // lines are shorter than IcalSplitter::kMaxLineBytes, and few
        qint32 endLine;
        bool inFull;  // it asks for its event in full
        bool override;
    };

    // The UID libical reads in the text, or nothing for none or an empty one.
    static std::optional<QString> givenUid(const QByteArray& text)
    {
        const IcalTree::Owned vevent = IcalReader::veventOf(text);
        const char* given = vevent ? icalcomponent_get_uid(vevent.get()) : nullptr;
        return given && *given ? std::optional<QString>(QString::fromUtf8(given)) : std::nullopt;
    }

    bool sought(const QString& uid) const { return m_sought.everything() || uid == m_sought.uid; }

    // Hands over a series with the overrides of its occurrences, passed over when none of them
    // asks for it in full. Overrides alone are never passed over: their series may be in
    // another file.
    void handSeries(const QList<Held>& group)
    {
        const bool passedOver =
            std::none_of(group.begin(), group.end(), [](const Held& held) { return held.inFull; }) &&
            std::any_of(group.begin(), group.end(), [](const Held& held) { return !held.override; });
        IcalReader::Text text{m_calendarZones, {}, passedOver};
        for (const Held& held : group) {
            const QByteArray listed = m_held.take(held.listed);
            text.vevents.append(
                {held.position,
                 passedOver ? IcalEventOutline::identityOf(listed, held.identityEnd, held.endLine) : listed,
                 held.fingerprint});
        }
        handAgain(text);
    }

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
    const IcalReader::Sought m_sought;
    std::optional<IcalTextWindow> m_window;  // of the calendar being read, when one is sought
    QList<QByteArray> m_calendarZones;  // of the calendar being read
    IcalTree::Owned m_calendar;
    qint64 m_position = 0;  // of the next VEVENT in the file
    QList<QList<Held>> m_groups;  // each series with its overrides, in file order
    QHash<QString, qsizetype> m_groupOf;  // by UID
    IcalHeldTexts m_held;
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

std::optional<Reason> readForListing(const QString& path, const Events& events, const Sought& sought)
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

    EventReader reader(events, sought);
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
