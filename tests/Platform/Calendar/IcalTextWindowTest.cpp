#include "Platform/Calendar/IcalTextWindow.h"

#include "Common/ExportedCalendars.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "Platform/Calendar/IcalEventOutline.h"
#include "Platform/Calendar/IcalReader.h"
#include "Platform/Calendar/IcalRecurrence.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Platform/Calendar/IcalZone.h"
#include "Support/FileIO.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
// Monday 5 January 2026 in Seoul.
const QDateTime kFrom(QDate(2026, 1, 4), QTime(15, 0), Qt::UTC);
const QDateTime kTo(QDate(2026, 1, 5), QTime(15, 0), Qt::UTC);

QByteArray vevent(const QByteArray& lines, const QByteArray& uid = "row@example.com")
{
    return "BEGIN:VEVENT\nUID:" + uid + "\n" + lines + "END:VEVENT\n";
}

// Whether libical's reading of the VEVENT, inside a calendar of `zones`, gives an occurrence
// that overlaps [from, to): an override or a single event by its own times, a series by every
// start of its rules and dates (none taken out).
bool occursIn(const QByteArray& text, const QList<QByteArray>& zones, const QDateTime& from, const QDateTime& to)
{
    const IcalTree::Owned calendar = IcalReader::calendarWith(zones);
    IcalTree::Owned owned = IcalReader::veventOf(text);
    if (!owned)
        return false;
    icalcomponent* read = owned.get();
    icalcomponent_add_component(calendar.get(), owned.release());
    const std::optional<CalendarEvent> event = IcalReader::eventOf(read);
    if (!event)
        return false;
    if (icalcomponent_get_first_property(read, ICAL_RECURRENCEID_PROPERTY) || !IcalRecurrence::isRecurring(read))
        return event->overlaps(from, to);
    IcalRecurrence::Budget budget;
    return !IcalRecurrence::between(read, {}, IcalRecurrence::spanOf(read, *event), from, to, budget).starts.isEmpty();
}
}  // namespace

// An event is passed over only where its text surely puts every occurrence outside the window,
// and libical's own reading of it agrees; near the window's edges, and wherever a value is not
// read surely, it may reach.
TEST(IcalTextWindow, PassesOverOnlyWhatLibicalPutsOutsideTheWindow)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QByteArray farOut = "BEGIN:VTIMEZONE\nTZID:Far Out\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                              "TZOFFSETFROM:+2000\nTZOFFSETTO:+2000\nEND:STANDARD\nEND:VTIMEZONE\n";
    const QDateTime from1800(QDate(1800, 1, 5), QTime(0, 0), Qt::UTC);
    const struct {
        const char* name;
        QByteArray lines;
        bool mayReach;
        QList<QByteArray> zones = {};
        QDateTime from = kFrom, to = kTo;
    } rows[] = {
        {"weekly until 2019 in UTC",
         "DTSTART;TZID=Asia/Seoul:20190107T090000\nDTEND;TZID=Asia/Seoul:20190107T100000\n"
         "RRULE:FREQ=WEEKLY;UNTIL=20190401T000000Z\n",
         false},
        {"all-day, weekly until a date in 2019",
         "DTSTART;VALUE=DATE:20190107\nDTEND;VALUE=DATE:20190108\nRRULE:FREQ=WEEKLY;UNTIL=20190401\n", false},
        {"daily until the day before: within a day of the wall clock, not sure",
         "DTSTART;TZID=Asia/Seoul:20251201T090000\nRRULE:FREQ=DAILY;UNTIL=20260104T000000Z\n", true},
        {"weekly, counted to 2019", "DTSTART;TZID=Asia/Seoul:20190107T090000\nRRULE:FREQ=WEEKLY;COUNT=12\n", false},
        {"on weekdays, counted to 2019",
         "DTSTART:20190101T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR;COUNT=15\nDURATION:PT1H\n", false},
        {"monthly from a 31st, counted: a month may hold none", "DTSTART:20190131T090000\nRRULE:FREQ=MONTHLY;COUNT=3\n",
         true},
        {"daily in January, counted: a day may hold none",
         "DTSTART:20190101T090000\nRRULE:FREQ=DAILY;BYMONTH=1;COUNT=40\n", true},
        {"daily from 2019, without end", "DTSTART:20190101T090000\nRRULE:FREQ=DAILY\n", true},
        {"starting after the window", "DTSTART:20260301T090000Z\nRRULE:FREQ=DAILY\n", false},
        {"lasting two days into the window", "DTSTART:20260103T000000Z\nDURATION:P2DT1H\n", true},
        {"an hour two days before", "DTSTART:20260103T000000Z\nDURATION:PT1H\n", false},
        {"in UTC, ending a second before", "DTSTART:20260104T130000Z\nDTEND:20260104T145959Z\n", false},
        {"in UTC, ending as the window starts: not sure", "DTSTART:20260104T130000Z\nDTEND:20260104T150000Z\n", true},
        // A wall clock after the window whose instant is inside it, 14 hours east.
        {"far east, inside", "DTSTART;TZID=Pacific/Kiritimati:20260106T040000\nDURATION:PT1H\n", true},
        {"far east, a day before",
         "DTSTART;TZID=Pacific/Kiritimati:20260103T120000\nDTEND;TZID=Pacific/Kiritimati:20260103T130000\n", false},
        // A wall clock before the window whose instant is inside it, 11 hours west.
        {"far west, inside", "DTSTART;TZID=Pacific/Pago_Pago:20260104T050000\nDURATION:PT1H\n", true},
        {"far west, a day after", "DTSTART;TZID=Pacific/Pago_Pago:20260106T200000\nDURATION:PT1H\n", false},
        // Metlakatla kept its local mean time, 15:13:42 ahead, until 1867.
        {"a local mean time past 14 hours",
         "DTSTART;TZID=America/Metlakatla:18000105T153000\nDURATION:PT30M\n",
         true,
         {},
         from1800,
         from1800.addSecs(3600)},
        {"a zone of the file's own, 20 hours ahead",
         "DTSTART;TZID=Far Out:20260106T100000\nDURATION:PT30M\n",
         true,
         {farOut}},
        {"a date of the series ended, another in the window",
         "DTSTART;TZID=Asia/Seoul:20190107T090000\nRRULE:FREQ=WEEKLY;COUNT=3\n"
         "RDATE;TZID=Asia/Seoul:20190401T090000,20260105T100000\n",
         true},
        {"all-day, dates in 2019", "DTSTART;VALUE=DATE:20190107\nRDATE;VALUE=DATE:20190301,20190302\n", false},
        {"a period reaching into the window", "DTSTART:20190107T090000Z\nRDATE;VALUE=PERIOD:20260104T000000Z/PT16H\n",
         true},
        {"a period ended before", "DTSTART:20190107T090000Z\nRDATE;VALUE=PERIOD:20260101T000000Z/20260101T020000Z\n",
         false},
        {"names in lower case",
         "dtstart;tzid=Asia/Seoul:20190107T090000\ndtend;tzid=Asia/Seoul:20190107T100000\n"
         "rrule:freq=weekly;count=12\n",
         false},
        {"folded lines", "DTSTART;TZID=Asia/\n Seoul:20190107T090000\nRRULE:FREQ=WEEKLY;\n UNTIL=20190401T000000Z\n",
         false},
        {"a start of another form", "DTSTART:2019-01-07T09:00:00\n", true},
        {"a date said to be a date-time", "DTSTART;VALUE=DATE-TIME:20190107\n", true},
        {"a day no month has", "DTSTART:20190132T090000Z\n", true},
        {"an end that is no time", "DTSTART:20190107T090000Z\nDTEND:soon\n", true},
        {"a duration that is none", "DTSTART:20190107T090000Z\nDURATION:an hour\n", true},
        {"an UNTIL that is none", "DTSTART:20190107T090000Z\nRRULE:FREQ=WEEKLY;UNTIL=soon\n", true},
        {"a rule of another calendar", "DTSTART:20190107T090000Z\nRRULE:RSCALE=HEBREW;FREQ=YEARLY;COUNT=2\n", true},
        {"no start", "DTEND:20190107T090000Z\n", true},
        {"two starts", "DTSTART:20190107T090000Z\nDTSTART:20190108T090000Z\n", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray text = vevent(row.lines);
        EXPECT_EQ(IcalTextWindow(row.from, row.to, row.zones).mayReach(text), row.mayReach);
        // Never passed over where libical lists it.
        if (occursIn(text, row.zones, row.from, row.to)) {
            EXPECT_TRUE(row.mayReach);
        }
    }
}

namespace {
// The VEVENTs of the file as the splitter hands them over, with the VTIMEZONEs of the last
// calendar.
QList<QByteArray> veventsOf(const QByteArray& file, QList<QByteArray>* zones = nullptr)
{
    QList<QByteArray> found;
    IcalSplitter splitter({"VEVENT", "VTIMEZONE"}, {[](int) {},
                                                    [&](const IcalSplitter::Child& child) {
                                                        if (child.text.isEmpty())
                                                            return;
                                                        if (child.name == "VEVENT")
                                                            found.append(child.text);
                                                        else if (zones)
                                                            zones->append(child.text);
                                                    },
                                                    [](int) {}});
    splitter.add(file);
    splitter.finish();
    return found;
}

// What the store reads of a VEVENT to know which copy wins and which file to name.
QStringList identityOf(const QByteArray& text)
{
    const IcalTree::Owned read = IcalReader::veventOf(text);
    if (!read)
        return {"unreadable"};
    const auto timeOf = [&](icalproperty_kind kind) {
        icalproperty* property = icalcomponent_get_first_property(read.get(), kind);
        return property ? QString(icalproperty_as_ical_string(property)).trimmed() : QString();
    };
    return {IcalIdentity::uidOf(read.get()),
            QString::number(icalcomponent_get_sequence(read.get())),
            timeOf(ICAL_DTSTART_PROPERTY),
            timeOf(ICAL_RECURRENCEID_PROPERTY),
            IcalRecurrence::isRecurring(read.get()) ? "series" : "single",
            IcalZone::unknownIn(read.get())};
}
}  // namespace

// The identity lines say of every VEVENT of every kind of file what its whole text says of
// which copy wins, and the UID read from the text alone is libical's.
TEST(IcalEventOutline, TheIdentitySaysWhatTheWholeSaysOfWhichCopyWins)
{
    ScopedTimeZone zone("Asia/Seoul");
    QList<ExportedCalendars::File> files = ExportedCalendars::all();
    files.append(ExportedCalendars::File{
        "edge-cases.ics",
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nuid:urn:uuid:8a3f-11e9:b21\nSEQUENCE:3\nDTSTART:20260105T010000Z\n"
        "DTEND;TZID=Nowhere Time:20260105T020000\nDTEND;TZID=Asia/Seoul:20260105T030000\n"
        "X-SEEN;TZID=Elsewhere:20260101T000000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID;X-KIND=plain:with-a-parameter\nDTSTART:20260105T010000Z\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:with\\,an-escape\nDTSTART:20260105T010000Z\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:with\\nan-escape\nDTSTART:20260105T010000Z\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:fol\n ded\nDTSTART:20260105T010000Z\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:\nDTSTART:20260105T010000Z\nEND:VEVENT\nEND:VCALENDAR\n"});
    int plain = 0;
    for (const ExportedCalendars::File& file : files) {
        for (const QByteArray& text : veventsOf(file.text)) {
            SCOPED_TRACE((file.name + "\n" + QString::fromUtf8(text.left(300))).toStdString());
            // One libical cannot read whole is read in full, never by its identity; so is one
            // without a UID, or with an empty one, which its whole text names.
            const IcalEventOutline outline = IcalEventOutline::of(text);
            const QStringList whole = identityOf(text);
            if (outline.listed.isEmpty() || text.contains('\0') || whole.first().startsWith("no-uid-"))
                continue;
            EXPECT_EQ(identityOf(outline.identity()), whole);
            EXPECT_EQ(identityOf(outline.listed), whole);
            if (outline.uid) {
                ++plain;
                EXPECT_EQ(*outline.uid, whole.first());
            }
        }
    }
    EXPECT_GT(plain, 50);
}

namespace {
// One group of VEVENTs a reading handed over.
struct Group {
    QStringList identities;  // of each VEVENT, with its place
    QList<QByteArray> texts;
    QList<QByteArray> zones;
    bool passedOver;
};

struct Reading {
    QList<Group> groups;
    std::optional<CalendarStore::LeftOut::Reason> leftOut;
};

Reading read(const QString& path, const IcalReader::Sought& sought)
{
    Reading reading;
    reading.leftOut = IcalReader::readForListing(
        path,
        [&](icalcomponent*, const QList<IcalIdentity::Component>& vevents, const IcalReader::Text& text) {
            Group group{{}, {}, text.zones, text.passedOver};
            for (const IcalIdentity::Component& component : vevents) {
                group.identities.append(QStringLiteral("%1 %2 %3")
                                            .arg(component.position)
                                            .arg(IcalIdentity::uidOf(component.vevent))
                                            .arg(IcalIdentity::rankOf(component).sequence));
            }
            // A change knows the event again by its whole text, however much of it was read.
            for (const IcalReader::Text::Vevent& vevent : text.vevents) {
                group.texts.append(vevent.lines);
                group.identities.append(QString::number(vevent.fingerprint));
            }
            reading.groups.append(group);
        },
        sought);
    return reading;
}
}  // namespace

// Seeking a window hands over what a full reading does, in the same groups and places; of the
// events passed over, libical's reading puts nothing in the window. Seeking a UID hands that
// event over in full, and passes over every other that can be.
TEST(IcalReader, ReadingForAWindowPassesOverOnlyWhatHasNothingThere)
{
    ScopedTimeZone zone("Asia/Seoul");
    QTemporaryDir scratch;
    QList<ExportedCalendars::File> files = ExportedCalendars::all();
    files.append(ExportedCalendars::seriesExport(48 << 10));
    files.append(ExportedCalendars::largeExport(48 << 10));
    // An override moved into today from a series over in 2019, one moved out of today, and a
    // detached one, of a series in no file.
    files.append(ExportedCalendars::File{
        "moved.ics",
        "BEGIN:VCALENDAR\n" +
            vevent("DTSTART;TZID=Asia/Seoul:20190107T090000\nRRULE:FREQ=WEEKLY;COUNT=12\n", "into-today") +
            vevent("RECURRENCE-ID;TZID=Asia/Seoul:20190114T090000\n"
                   "DTSTART;TZID=Asia/Seoul:20260105T100000\n",
                   "into-today") +
            vevent("DTSTART;TZID=Asia/Seoul:20251229T090000\nRRULE:FREQ=WEEKLY;COUNT=3\n", "out-of-today") +
            vevent("RECURRENCE-ID;TZID=Asia/Seoul:20260105T090000\n"
                   "DTSTART;TZID=Asia/Seoul:20190105T100000\n",
                   "out-of-today") +
            vevent("RECURRENCE-ID;TZID=Asia/Seoul:20190107T090000\n"
                   "DTSTART;TZID=Asia/Seoul:20190107T100000\n",
                   "invitation") +
            "END:VCALENDAR\n"});
    const QDateTime today = ExportedCalendars::now().date().startOfDay();
    const QList<std::pair<QDateTime, QDateTime>> windows = {
        {today, today.addDays(1)},
        {today, today.addDays(7)},
        {QDateTime(QDate(2019, 1, 14), QTime()), QDateTime(QDate(2019, 1, 15), QTime())}};
    int passedOver = 0;
    for (const ExportedCalendars::File& file : files) {
        ASSERT_TRUE(ExportedCalendars::write(scratch.path(), file));
        const QString path = scratch.filePath(file.name);
        const Reading full = read(path, {});
        for (const auto& [from, to] : windows) {
            SCOPED_TRACE((file.name + " from " + from.toString(Qt::ISODate)).toStdString());
            const Reading window = read(path, {IcalReader::Window{from, to}});
            EXPECT_EQ(window.leftOut, full.leftOut);
            ASSERT_EQ(window.groups.size(), full.groups.size());
            for (qsizetype i = 0; i < full.groups.size(); ++i) {
                const Group& all = full.groups[i];
                const Group& some = window.groups[i];
                EXPECT_FALSE(all.passedOver);
                EXPECT_EQ(some.identities, all.identities);
                if (!some.passedOver) {
                    EXPECT_EQ(some.texts, all.texts);
                    continue;
                }
                ++passedOver;
                for (const QByteArray& text : all.texts)
                    EXPECT_FALSE(occursIn(text, all.zones, from, to)) << text.toStdString();
            }
        }
    }
    EXPECT_GT(passedOver, 300);

    // The moved overrides keep their series in full today; the invitation is read in full.
    const Reading moved = read(scratch.filePath("moved.ics"), {IcalReader::Window{today, today.addDays(1)}});
    ASSERT_EQ(moved.groups.size(), 3);
    for (const Group& group : moved.groups)
        EXPECT_FALSE(group.passedOver) << group.identities.join(", ").toStdString();

    const QString series = scratch.filePath(ExportedCalendars::seriesExport(48 << 10).name);
    for (const IcalReader::Sought& sought :
         {IcalReader::Sought{{}, "weekly-3@example.com"},
          IcalReader::Sought{IcalReader::Window{today, today.addDays(1)}, "weekly-3@example.com"}}) {
        const Reading one = read(series, sought);
        int inFull = 0;
        for (const Group& group : one.groups) {
            if (group.identities.first().contains(" weekly-3@example.com ")) {
                EXPECT_FALSE(group.passedOver);
            }
            inFull += !group.passedOver;
        }
        // With the window, today's lunch and dentist too.
        EXPECT_EQ(inFull, sought.window ? 3 : 1);
    }
}

namespace {
void write(const QString& name, const QByteArray& body)
{
    ASSERT_TRUE(FileIO::ensureDirectory(IcalCalendarStore::defaultFolder()));
    ASSERT_TRUE(
        FileIO::writeAtomically(IcalCalendarStore::defaultFolder() + '/' + name,
                                "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other tool//EN\n" + body + "END:VCALENDAR\n"));
}
}  // namespace

// A copy passed over still decides which copy of its event wins, and the detached override of
// a series passed over still stands for its occurrence.
TEST(IcalCalendarStore, ACopyPassedOverStillDecidesWhichCopyWins)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QByteArray reaching = "DTSTART;TZID=Asia/Seoul:20251229T090000\nRRULE:FREQ=WEEKLY;COUNT=10\n"
                                "SUMMARY:Weekly\n";
    const QByteArray ended = "DTSTART;TZID=Asia/Seoul:20190107T090000\nRRULE:FREQ=WEEKLY;COUNT=10\n"
                             "SUMMARY:Weekly (2019)\n";
    const struct {
        const char* name;
        QList<std::pair<QString, QByteArray>> files;
        QStringList listed;
    } rows[] = {
        {"the later export ended the series", {{"a.ics", reaching}, {"b.ics", ended}}, {}},
        {"the earlier export ended it", {{"a.ics", ended}, {"b.ics", reaching}}, {"Weekly"}},
        {"the ended copy is newer", {{"a.ics", "SEQUENCE:2\n" + ended}, {"b.ics", "SEQUENCE:1\n" + reaching}}, {}},
        {"the ended copy is older",
         {{"a.ics", "SEQUENCE:2\n" + reaching}, {"b.ics", "SEQUENCE:1\n" + ended}},
         {"Weekly"}},
        {"an invitation moves an occurrence of 2019 into today",
         {{"a.ics", ended},
          {"b.ics", "RECURRENCE-ID;TZID=Asia/Seoul:20190114T090000\nDTSTART;TZID=Asia/Seoul:20260105T110000\n"
                    "SUMMARY:Moved into today\n"}},
         {"Moved into today"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedDataRoot root;
        for (const auto& [name, lines] : row.files)
            write(name, vevent(lines, "weekly@example.com"));
        IcalCalendarStore store;
        const QDateTime today = ExportedCalendars::now().date().startOfDay();
        const auto listing = store.events(today, today.addDays(1), nullptr);
        ASSERT_TRUE(listing);
        QStringList titles;
        for (const CalendarEvent& event : listing->events)
            titles << event.title;
        EXPECT_EQ(titles, row.listed);
    }
}
