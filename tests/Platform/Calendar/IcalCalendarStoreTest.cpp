#include "Platform/Calendar/IcalCalendarStore.h"

#include "Common/CalendarBytes.h"
#include "Common/DiskFault.h"
#include "Common/ExportedCalendars.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Common/WithoutReadOverride.h"
#include "Platform/Calendar/IcalReader.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <iostream>

#include <sys/stat.h>

namespace {
void write(const QString& name, QByteArray body)
{
    const QByteArray text = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other tool//EN\n" + body + "END:VCALENDAR\n";
    ASSERT_TRUE(FileIO::ensureDirectory(IcalCalendarStore::defaultFolder()));
    ASSERT_TRUE(FileIO::writeAtomically(IcalCalendarStore::defaultFolder() + '/' + name,
                                        QByteArray(text).replace("\n", "\r\n")));
}

QDateTime utc(int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 1, 5), QTime(hour, minute), Qt::UTC);
}

QString nameOf(CalendarStore::LeftOut::Reason reason)
{
    using enum CalendarStore::LeftOut::Reason;
    switch (reason) {
    case unreadable:
        return "unreadable";
    case notACalendar:
        return "notACalendar";
    case tooLarge:
        return "tooLarge";
    case notRegular:
        return "notRegular";
    case damaged:
        return "damaged";
    }
    return "?";
}

// Every event of the year around Monday 5 January 2026.
std::optional<QList<CalendarEvent>> allEvents(IcalCalendarStore& store, QString* error = nullptr)
{
    const auto listing =
        store.events(QDateTime(QDate(2025, 7, 1), QTime()), QDateTime(QDate(2026, 7, 1), QTime()), error);
    return listing ? std::optional(listing->events) : std::nullopt;
}
}  // namespace

TEST(IcalCalendarStore, ReadsOtherToolsFilesAndKeepsWhatItDoesNotKnowWhenChangingThem)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    write("zoned.ics", "BEGIN:VEVENT\nUID:ny\nDTSTART;TZID=America/New_York:20260105T080000\n"
                       "DTEND;TZID=America/New_York:20260105T090000\nSUMMARY:Call\\, NY\nLOCATION:Zoom\nEND:VEVENT\n");
    // A zone Qt does not know, defined by the file itself, and a duration instead of an end.
    write("custom.ics", "BEGIN:VTIMEZONE\nTZID:My Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                        "TZOFFSETFROM:+0530\nTZOFFSETTO:+0530\nEND:STANDARD\nEND:VTIMEZONE\nBEGIN:VEVENT\nUID:office\n"
                        "DTSTART;TZID=My Office:20260105T103000\nDURATION:PT45M\nDESCRIPTION:one\\ntwo\nEND:VEVENT\n");
    write("from-sync.ics", "BEGIN:VEVENT\nUID:sync\nDTSTART:20260105T020000Z\nDTEND:20260105T030000Z\n"
                           "ATTENDEE:mailto:kim@example.com\nX-OTHER-TOOL:keep me\nBEGIN:VALARM\nACTION:DISPLAY\n"
                           "TRIGGER:-PT15M\nEND:VALARM\nEND:VEVENT\n");
    // The zone defined after the event that uses it, and a BEGIN line folded in two.
    write("late-zone.ics", "BEGIN:VEVENT\nUID:late\nDTSTART;TZID=Late Office:20260105T103000\nDURATION:PT30M\n"
                           "END:VEVENT\nBEGIN:VTIMEZONE\nTZID:Late Office\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                           "TZOFFSETFROM:+0530\nTZOFFSETTO:+0530\nEND:STANDARD\nEND:VTIMEZONE\n");
    write("folded.ics", "BEGIN:VEV\n ENT\nUID:folded\nDTSTART:20260105T040000Z\nSUMMARY:Fol\n ded\nEND:VEVENT\n");
    write("broken.ics", "BEGIN:VEVENT\nUID:broken\nDTSTART:20260105T020000Z\n");
    write("nostart.ics", "BEGIN:VEVENT\nUID:nostart\nEND:VEVENT\n");

    IcalCalendarStore store;
    QString error;
    const auto events = allEvents(store, &error);
    ASSERT_TRUE(events) << error.toStdString();
    const QList<CalendarEvent> expected = {{"sync", utc(2), utc(3), "", "", ""},
                                           {"folded", utc(4), utc(4), "Folded", "", ""},
                                           {"late", utc(5), utc(5, 30), "", "", ""},
                                           {"office", utc(5), utc(5, 45), "", "", "one\ntwo"},
                                           {"ny", utc(13), utc(14), "Call, NY", "Zoom", ""}};
    EXPECT_EQ(*events, expected);
    EXPECT_EQ(events->last().start.timeZone().id(), "America/New_York");

    CalendarEvent changed = events->first();
    changed.title = "Renamed";
    changed.start = utc(1);
    changed.end = utc(2);
    ASSERT_TRUE(store.save(changed, nullptr));
    const QString text = QString::fromUtf8(*FileIO::readAll(IcalCalendarStore::defaultFolder() + "/from-sync.ics"));
    for (const char* kept : {"ATTENDEE:mailto:kim@example.com", "X-OTHER-TOOL:keep me", "BEGIN:VALARM"})
        EXPECT_TRUE(text.contains(kept)) << kept;
    EXPECT_EQ(text.count("BEGIN:VEVENT"), 1);
    IcalCalendarStore again;
    EXPECT_EQ(allEvents(again)->first(), changed);
}

namespace {
QString folder()
{
    return IcalCalendarStore::defaultFolder();
}

QByteArray bytesOf(const QString& name)
{
    return FileIO::readAll(folder() + '/' + name).value_or("<no file>");
}

// Calendar files as other tools write them ("now" is Monday 5 January 2026, 09:00 in Seoul).
const std::pair<const char*, QByteArray> kFiles[] = {
    {"several.ics", "BEGIN:VEVENT\nUID:a\nDTSTART:20260105T010000Z\nDTEND:20260105T020000Z\nSUMMARY:A\nEND:VEVENT\n"
                    "BEGIN:VEVENT\nUID:b\nDTSTART:20260105T030000Z\nDTEND:20260105T040000Z\nSUMMARY:B\nEND:VEVENT\n"
                    "BEGIN:VEVENT\nUID:c\nDTSTART:20260105T050000Z\nDTEND:20260105T060000Z\nSUMMARY:C\nEND:VEVENT\n"},
    // Weekly at 15:00 in Seoul, four times; the second moved to 17:00 by an override.
    {"series.ics", "BEGIN:VEVENT\nUID:w\nDTSTART;TZID=Asia/Seoul:20260105T150000\n"
                   "DTEND;TZID=Asia/Seoul:20260105T160000\nRRULE:FREQ=WEEKLY;COUNT=4\nSUMMARY:Weekly\nEND:VEVENT\n"
                   "BEGIN:VEVENT\nUID:w\nRECURRENCE-ID;TZID=Asia/Seoul:20260112T150000\n"
                   "DTSTART;TZID=Asia/Seoul:20260112T170000\nDTEND;TZID=Asia/Seoul:20260112T180000\n"
                   "SUMMARY:Moved\nEND:VEVENT\n"},
    // A sound event, and one whose END line was never written.
    {"half.ics", "BEGIN:VEVENT\nUID:sound\nDTSTART:20260107T010000Z\nSUMMARY:Sound\nEND:VEVENT\n"
                 "BEGIN:VEVENT\nUID:half\nDTSTART:20260107T020000Z\nSUMMARY:Half\n"},
};

// Files libical reads only by changing them, and one nobody may read.
const std::pair<const char*, QByteArray> kRawFiles[] = {
    {"repaired.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:r\r\nDTSTART:20260105T070000Z\r\n"
                     "DTEND:2026XX05T080000Z\r\nSUMMARY:Repaired\r\nGARBAGE LINE\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"},
    {"wrapped.ics", "BEGIN:X-WRAP\r\nBEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x\r\n"
                    "DTSTART:20260105T080000Z\r\nSUMMARY:Wrapped\r\nEND:VEVENT\r\nEND:VCALENDAR\r\nEND:X-WRAP\r\n"},
    {"joined.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:j1\r\nDTSTART:20260105T090000Z\r\n"
                   "SUMMARY:J1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\nBEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n"
                   "UID:j2\r\nDTSTART:20260105T100000Z\r\nSUMMARY:J2\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"},
    {"unreadable.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260105T110000Z\r\n"
                       "END:VEVENT\r\nEND:VCALENDAR\r\n"},
    // Written by hand: names in lower case, a quoted zone, a comma left unescaped. libical
    // writes each line back in its own form, which is no loss.
    {"by-hand.ics", "begin:vcalendar\r\nversion:2.0\r\nbegin:vevent\r\nuid:h\r\n"
                    "dtstart;tzid=\"Asia/Seoul\":20260105T200000\r\nsummary:Dinner, late\r\nend:vevent\r\n"
                    "end:vcalendar\r\n"},
    // A component of a name libical does not know, which it reads and never writes.
    {"unknown-block.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:k\r\nDTSTART:20260105T120000Z\r\n"
                          "SUMMARY:Kept\r\nEND:VEVENT\r\nBEGIN:VPOLLING\r\nX-ANSWER:yes\r\nEND:VPOLLING\r\n"
                          "END:VCALENDAR\r\n"},
    // A series written by hand, names in lower case.
    {"by-hand-series.ics", "begin:vcalendar\r\nversion:2.0\r\nbegin:vevent\r\nuid:ny\r\n"
                           "dtstart;tzid=America/New_York:20260107T200000\r\n"
                           "dtend;tzid=America/New_York:20260107T210000\r\nrrule:FREQ=DAILY;COUNT=3\r\n"
                           "summary:New York\r\nend:vevent\r\nend:vcalendar\r\n"},
};

class CalendarFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [name, body] : kFiles)
            write(name, body);
        for (const auto& [name, body] : kRawFiles)
            ASSERT_TRUE(FileIO::writeAtomically(folder() + '/' + name, body));
        ASSERT_EQ(::chmod(QFile::encodeName(folder() + "/unreadable.ics").constData(), 0), 0);
    }

    QStringList ids()
    {
        const WithoutReadOverride asAnyone;
        const auto events = allEvents(store);
        QStringList ids;
        for (const CalendarEvent& event : events.value_or(QList<CalendarEvent>()))
            ids << event.id + '=' + event.title;
        return ids;
    }
    std::optional<CalendarEvent> find(const QString& id)
    {
        const WithoutReadOverride asAnyone;
        for (const CalendarEvent& event : allEvents(store).value_or(QList<CalendarEvent>()))
            if (event.id == id)
                return event;
        return std::nullopt;
    }

    ScopedTimeZone zone{"Asia/Seoul"};
    ScopedDataRoot root;
    IcalCalendarStore store{folder()};
};

// The occurrence ids of the series: its UID and each original start in UTC.
const QString kW1 = "w#20260105T060000Z", kW2 = "w#20260112T060000Z", kW3 = "w#20260119T060000Z",
              kW4 = "w#20260126T060000Z";
}  // namespace

TEST_F(CalendarFiles, ListingSkipsWhatCannotBeReadAndShowsEachOccurrence)
{
    LogCapture log(QStringLiteral("app.parlivox.calendar"));
    EXPECT_EQ(ids(),
              QStringList({"a=A", "b=B", "c=C", "w#20260105T060000Z=Weekly", "r=Repaired", "x=Wrapped", "j1=J1",
                           "j2=J2", "h=Dinner, late", "k=Kept", "sound=Sound", "ny#20260108T010000Z=New York",
                           "ny#20260109T010000Z=New York", "ny#20260110T010000Z=New York", "w#20260112T060000Z=Moved",
                           "w#20260119T060000Z=Weekly", "w#20260126T060000Z=Weekly"}));
    // The moved occurrence keeps the id of the one it replaces, and starts when it was moved to.
    EXPECT_EQ(find(kW2)->start, QDateTime(QDate(2026, 1, 12), QTime(8, 0), Qt::UTC));
    EXPECT_TRUE(log.messages().join('\n').contains("unreadable.ics: Permission denied"))
        << log.messages().join('\n').toStdString();
}

// Each kind of file × (update, delete), and what it leaves on disk.
TEST_F(CalendarFiles, EachChangeTouchesOnlyItsEvent)
{
    struct Row {
        const char* file;
        const char* id;
        enum { update, remove } operation;
        const char* outcome;  // "ok", or the start of the refusal
        QStringList listed;  // the ids listed afterwards that differ from the start
        QByteArray written = {};  // what the file then holds, when given
    };
    const QString untouched = "untouched";
    const Row rows[] = {
        {"several.ics", "b", Row::update, "ok", {}},
        {"several.ics", "b", Row::remove, "ok", {}},
        {"series.ics", "w#20260119T060000Z", Row::update, "ok", {}},
        {"series.ics", "w#20260119T060000Z", Row::remove, "ok", {}},
        {"series.ics", "w#20260112T060000Z", Row::update, "ok", {}},
        {"series.ics", "w#20260112T060000Z", Row::remove, "ok", {}},
        {"series.ics", "w", Row::remove, "ok", {}},
        // Each changed in place: what libical had to repair, the wrapper, the second calendar and
        // the unknown component stay as they were.
        {"repaired.ics", "r", Row::update, "ok", {}},
        {"repaired.ics", "r", Row::remove, "ok", {}},
        {"wrapped.ics", "x", Row::update, "ok", {}},
        {"wrapped.ics", "x", Row::remove, "ok", {}},
        {"joined.ics", "j1", Row::update, "ok", {}},
        {"joined.ics", "j1", Row::remove, "ok", {}},
        {"joined.ics", "j2", Row::update, "ok", {}},
        {"by-hand.ics", "h", Row::update, "ok", {}},
        {"by-hand.ics", "h", Row::remove, "ok", {}},
        {"unknown-block.ics", "k", Row::update, "ok", {}},
        {"unknown-block.ics", "k", Row::remove, "ok", {}},
        // The file and the half event stay.
        {"half.ics", "sound", Row::remove, "ok", {}, "BEGIN:VEVENT\r\nUID:half\r\nDTSTART:20260107T020000Z\r\n"},
        // The EXDATE in the form of its start.
        {"by-hand-series.ics",
         "ny#20260109T010000Z",
         Row::remove,
         "ok",
         {},
         "\r\nEXDATE;tzid=America/New_York:20260108T200000\r\n"},
    };
    std::cout << "file               | operation                 | outcome | what stays on disk\n";
    for (const Row& row : rows) {
        TearDown();
        QDir(folder()).removeRecursively();
        SetUp();
        const QByteArray before = bytesOf(row.file);
        const QStringList listedBefore = ids();
        const std::optional<CalendarEvent> event = find(row.id);
        ASSERT_TRUE(event || row.operation == Row::remove) << row.id;
        QString error;
        bool done;
        {
            const WithoutReadOverride asAnyone;
            if (row.operation == Row::update) {
                CalendarEvent changed = *event;
                changed.title = "Changed";
                done = store.save(changed, &error);
            } else {
                done = store.remove(row.id, &error);
            }
        }
        const QByteArray after = bytesOf(row.file);
        const QStringList listedAfter = ids();
        const QString what = QString("%1 %2").arg(row.operation == Row::update ? "update" : "delete", row.id);
        SCOPED_TRACE(qPrintable(what));
        // What the file holds afterwards, in short.
        QString left = after == "<no file>" ? "file removed"
                       : after == before    ? untouched
                                            : QString("%1 VEVENT, %2 EXDATE, %3 RECURRENCE-ID")
                                               .arg(after.count("BEGIN:VEVENT"))
                                               .arg(after.count("EXDATE"))
                                               .arg(after.count("RECURRENCE-ID"));
        std::cout << QString("%1| %2| %3| %4\n")
                         .arg(QString(row.file).leftJustified(19), what.leftJustified(26),
                              QString(done ? "ok" : "refused").leftJustified(8), done ? left : left + ": " + error)
                         .toStdString();
        if (QString(row.outcome) == "ok") {
            ASSERT_TRUE(done) << error.toStdString();
        } else {
            EXPECT_FALSE(done);
            EXPECT_TRUE(error.contains(row.outcome)) << error.toStdString();
            EXPECT_EQ(after, before) << "a refused change leaves the file as it was";
            EXPECT_EQ(listedAfter, listedBefore);
            continue;
        }
        // Every other event of the folder is still there, as it was.
        QStringList expected = listedBefore;
        const QString id = row.id;
        if (row.operation == Row::remove)
            expected.removeIf(
                [&](const QString& line) { return line.startsWith(id + '=') || (id == "w" && line.startsWith("w#")); });
        else
            for (QString& line : expected)
                if (line.startsWith(id + '='))
                    line = id + "=Changed";
        EXPECT_EQ(listedAfter, expected);
        EXPECT_FALSE(after.isEmpty());
        EXPECT_TRUE(after.contains(row.written)) << after.toStdString();
        if (after != "<no file>") {
            const QByteArray uid = QString(row.id).section('#', 0, 0).toUtf8();
            EXPECT_EQ(CalendarBytes::changedOutside(before, after, uid), std::nullopt) << after.toStdString();
        }
    }
    std::cout
        << "unreadable.ics     | list, update, delete       | skipped | untouched: not listed, so never changed\n";
    EXPECT_EQ(TestEnvironment::permissionBits(folder() + "/unreadable.ics"), 0u + 0);
    {
        const WithoutReadOverride asAnyone;
        EXPECT_FALSE(FileIO::readAll(folder() + "/unreadable.ics"));
    }
    EXPECT_EQ(bytesOf("unreadable.ics"), kRawFiles[3].second);
    // Every event of a file gone one by one: only then does the file go.
    for (const char* id : {"a", "b"})
        ASSERT_TRUE(store.remove(id, nullptr));
    EXPECT_TRUE(QFile::exists(folder() + "/several.ics"));
    ASSERT_TRUE(store.remove("c", nullptr));
    EXPECT_FALSE(QFile::exists(folder() + "/several.ics"));
}

TEST_F(CalendarFiles, AnOccurrenceRemovedOrChangedStaysSoAndTheSeriesKeepsTheRest)
{
    ASSERT_TRUE(store.remove(kW3, nullptr));
    CalendarEvent fourth = *find(kW4);
    fourth.title = "Last one";
    fourth.start = fourth.start.addSecs(1800);
    fourth.end = fourth.end.addSecs(1800);
    ASSERT_TRUE(store.save(fourth, nullptr));
    IcalCalendarStore again{folder()};
    const auto events = allEvents(again);
    ASSERT_TRUE(events);
    QStringList series;
    for (const CalendarEvent& event : *events)
        if (event.id.startsWith("w#"))
            series << event.id + ' ' + event.start.toUTC().toString(Qt::ISODate) + ' ' + event.title;
    EXPECT_EQ(series, QStringList({"w#20260105T060000Z 2026-01-05T06:00:00Z Weekly",
                                   "w#20260112T060000Z 2026-01-12T08:00:00Z Moved",
                                   "w#20260126T060000Z 2026-01-26T06:30:00Z Last one"}));
    const QByteArray text = bytesOf("series.ics");
    EXPECT_TRUE(text.contains("EXDATE;TZID=Asia/Seoul:20260119T150000")) << text.toStdString();
    EXPECT_TRUE(text.contains("RECURRENCE-ID;TZID=Asia/Seoul:20260126T150000")) << text.toStdString();
}

// Overrides of several series in one file, one before its series and one of a series the
// calendar lacks (an invitation to one occurrence): each counts for its own series only, and
// the one without a series is an event of its own, listed and found alike. What makes a
// series is read as libical reads it: names in any case and folded, and an alarm's UID is
// its own.
TEST(IcalCalendarStore, AnOverrideCountsForItsOwnSeriesWhereverItStandsInTheFile)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    write("mixed.ics", "BEGIN:VEVENT\nUID:y\nRECURRENCE-ID;TZID=Asia/Seoul:20260106T100000\n"
                       "DTSTART;TZID=Asia/Seoul:20260106T120000\nDTEND;TZID=Asia/Seoul:20260106T130000\n"
                       "SUMMARY:Y moved\nEND:VEVENT\n"
                       "BEGIN:VEVENT\nBEGIN:VALARM\nUID:alarm\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VALARM\nUID:x\n"
                       "DTSTART;TZID=Asia/Seoul:20260105T090000\nDTEND;TZID=Asia/Seoul:20260105T093000\n"
                       "RRULE:FREQ=WEEKLY;COUNT=2\nSUMMARY:X\nEND:VEVENT\n"
                       "BEGIN:VEVENT\nUID:ghost\nRECURRENCE-ID;TZID=Asia/Seoul:20260105T110000\n"
                       "DTSTART;TZID=Asia/Seoul:20260105T110000\nSUMMARY:Ghost\nEND:VEVENT\n"
                       "BEGIN:VEVENT\nUID:y\nDTSTART;TZID=Asia/Seoul:20260105T100000\n"
                       "DTEND;TZID=Asia/Seoul:20260105T110000\nRR\n ULE:FREQ=DAILY;COUNT=3\nSUMMARY:Y\nEND:VEVENT\n"
                       "BEGIN:VEVENT\nUID:x\nrecurrence-id;TZID=Asia/Seoul:20260112T090000\n"
                       "DTSTART;TZID=Asia/Seoul:20260112T093000\nDTEND;TZID=Asia/Seoul:20260112T100000\n"
                       "SUMMARY:X moved\nEND:VEVENT\n");
    IcalCalendarStore store;
    const auto shown = [](const CalendarEvent& event) {
        return event.id + ' ' + event.title + ' ' + event.start.toUTC().toString(Qt::ISODate);
    };
    QStringList listed;
    for (const CalendarEvent& event : allEvents(store).value_or(QList<CalendarEvent>()))
        listed << shown(event);
    EXPECT_EQ(
        listed,
        QStringList({"x#20260105T000000Z X 2026-01-05T00:00:00Z", "y#20260105T010000Z Y 2026-01-05T01:00:00Z",
                     "ghost#20260105T020000Z Ghost 2026-01-05T02:00:00Z",
                     "y#20260106T010000Z Y moved 2026-01-06T03:00:00Z", "y#20260107T010000Z Y 2026-01-07T01:00:00Z",
                     "x#20260112T000000Z X moved 2026-01-12T00:30:00Z"}));
    const struct {
        const char* id;
        const char* found;  // as listed, or "" for none
    } cases[] = {
        {"y#20260106T010000Z", "y#20260106T010000Z Y moved 2026-01-06T03:00:00Z"},
        {"x#20260112T000000Z", "x#20260112T000000Z X moved 2026-01-12T00:30:00Z"},
        {"x#20260105T000000Z", "x#20260105T000000Z X 2026-01-05T00:00:00Z"},
        {"y#20260107T010000Z", "y#20260107T010000Z Y 2026-01-07T01:00:00Z"},
        {"ghost#20260105T020000Z", "ghost#20260105T020000Z Ghost 2026-01-05T02:00:00Z"},
        {"ghost", ""},
    };
    for (const auto& c : cases) {
        std::optional<CalendarEvent> found;
        ASSERT_TRUE(store.find(c.id, &found, nullptr)) << c.id;
        EXPECT_EQ(found ? shown(*found) : QString(), QString(c.found)) << c.id;
    }
}

// A new event goes straight to a file of its own: the folder is not read first (reading it
// would log the file it cannot list), while a change still reads it to find its event.
TEST(IcalCalendarStore, ANewEventIsWrittenToItsOwnFileWithoutReadingTheFolder)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    write("nostart.ics", "BEGIN:VEVENT\nUID:nostart\nEND:VEVENT\n");
    const struct {
        const char* id;
        const char* file;
    } cases[] = {
        {"0b7e3c52-8f1d-4a6e-9c21-5d4f0e6a7b19", "0b7e3c52-8f1d-4a6e-9c21-5d4f0e6a7b19.ics"},
        {"a/b c", "a%2Fb%20c.ics"},
    };
    IcalCalendarStore store;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const CalendarEvent event{c.id, utc(1), utc(2), "New", "Hall", "notes"};
        LogCapture log(QStringLiteral("app.parlivox.calendar"));
        QString error;
        ASSERT_TRUE(store.add(event, &error)) << error.toStdString();
        EXPECT_EQ(log.messages(), QStringList());
        EXPECT_EQ(bytesOf(c.file).count("BEGIN:VEVENT"), 1);
        std::optional<CalendarEvent> found;
        ASSERT_TRUE(IcalCalendarStore().find(c.id, &found, nullptr));
        EXPECT_EQ(found, event);
    }
    LogCapture log(QStringLiteral("app.parlivox.calendar"));
    ASSERT_TRUE(store.save({"saved", utc(3), utc(4), "Saved", "", ""}, nullptr));
    EXPECT_TRUE(log.messages().join('\n').contains("skipped events without a start in"))
        << log.messages().join('\n').toStdString();
}

TEST(IcalCalendarStore, AReadOnlyOrFullDiskNamesItsCauseAndKeepsTheFile)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            IcalCalendarStore store(disk.folder() + "/calendar");
            const CalendarEvent event{"e",
                                      QDateTime(QDate(2026, 1, 5), QTime(10, 0), Qt::UTC),
                                      QDateTime(QDate(2026, 1, 5), QTime(11, 0), Qt::UTC),
                                      "Old",
                                      "",
                                      ""};
            store.save(event, nullptr);
            const QByteArray before = FileIO::readAll(disk.folder() + "/calendar/e.ics").value_or("missing");
            disk.begin();
            QString error;
            CalendarEvent changed = event;
            changed.title = "New " + QString(5000, 'n');
            const bool saved = store.save(changed, &error);
            QString removeError;
            const bool removed = store.remove("e", &removeError);
            disk.end();
            const QByteArray after = FileIO::readAll(disk.folder() + "/calendar/e.ics").value_or("missing");
            error.replace(disk.folder(), "<folder>");
            removeError.replace(disk.folder(), "<folder>");
            return QStringList{saved ? "saved" : error, removed ? "removed" : removeError,
                               after == before ? "kept" : "changed",
                               QDir(disk.folder() + "/calendar").entryList(QDir::Files | QDir::Hidden).join(",")};
        },
        [](const QString& cause) {
            // A change to a calendar that may only be read names the file it would have written.
            const bool readOnly = cause == "Read-only file system";
            return QStringList{readOnly ? "<folder>/calendar/e.ics: " + cause : cause,
                               readOnly ? "<folder>/calendar/e.ics: " + cause : "removed",
                               readOnly ? "kept" : "changed", readOnly ? "e.ics" : ""};
        });
}

TEST_F(CalendarFiles, FindsAnEventOrOneOccurrenceByItsId)
{
    ASSERT_TRUE(store.remove(kW3, nullptr));
    const QDateTime monday(QDate(2026, 1, 5), QTime(6, 0), Qt::UTC);
    const struct {
        QString id;
        QString found;  // "<title> <start in UTC>", or "" for none
    } cases[] = {
        {"b", "B 2026-01-05T03:00:00Z"},
        {"r", "Repaired 2026-01-05T07:00:00Z"},
        {kW1, "Weekly 2026-01-05T06:00:00Z"},
        // The moved occurrence is found by the start it replaces, where it is now.
        {kW2, "Moved 2026-01-12T08:00:00Z"},
        // Taken out, not an occurrence of the rules, or a series asked for as a whole.
        {kW3, ""},
        {"w#20260106T060000Z", ""},
        {"w", ""},
        {"b#20260105T030000Z", ""},
        {"nowhere", ""},
    };
    for (const auto& c : cases) {
        std::optional<CalendarEvent> found;
        QString error;
        ASSERT_TRUE(store.find(c.id, &found, &error)) << error.toStdString();
        EXPECT_EQ(found ? found->title + ' ' + found->start.toUTC().toString(Qt::ISODate) : QString(), c.found)
            << c.id.toStdString();
        EXPECT_TRUE(!found || found->id == c.id) << c.id.toStdString();
    }
    std::optional<CalendarEvent> found;
    QString error;
    ASSERT_TRUE(FileIO::writeAtomically(root.path() + "/blocked", "a file where the folder belongs"));
    EXPECT_FALSE(IcalCalendarStore(root.path() + "/blocked").find("b", &found, &error));
    EXPECT_FALSE(error.isEmpty());
}

// A location is set, changed and cleared in place, on an event as on one occurrence of a series;
// changing the same occurrence again changes its one override.
TEST_F(CalendarFiles, ALocationIsSetChangedAndClearedAndAnOccurrenceKeepsOneOverride)
{
    const struct {
        const char* location;
        const char* written;  // its line in the file, or nothing
    } steps[] = {{"Hall", "LOCATION:Hall"}, {"Room 2", "LOCATION:Room 2"}, {"", nullptr}, {"Hall", "LOCATION:Hall"}};
    for (const auto& [file, id] : {std::pair{"several.ics", QString("b")}, std::pair{"series.ics", kW4}}) {
        const qsizetype overridesBefore = bytesOf(file).count("RECURRENCE-ID");
        for (const auto& step : steps) {
            SCOPED_TRACE(id.toStdString() + " → '" + step.location + "'");
            CalendarEvent event = *find(id);
            event.location = step.location;
            ASSERT_TRUE(store.save(event, nullptr));
            EXPECT_EQ(find(id), event);
            const QByteArray text = bytesOf(file);
            EXPECT_EQ(text.count("\nLOCATION"), step.written ? 1 : 0) << text.toStdString();
            EXPECT_TRUE(!step.written || text.contains(step.written)) << text.toStdString();
            EXPECT_EQ(text.count("RECURRENCE-ID"), overridesBefore + (id == kW4)) << text.toStdString();
        }
    }
}

TEST(IcalCalendarStore, OverLongLinesAreLeftOutAndFilesLeftOutAreNamed)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    const QString folder = IcalCalendarStore::defaultFolder();
    for (const char* name : {"long-line.ics", "huge-line.ics", "daily-first.ics", "not-a-calendar.ics", "deep.ics"})
        ASSERT_TRUE(ExportedCalendars::write(folder, ExportedCalendars::named(name)));
    // Past the largest size read, without taking the disk's space.
    QFile beyond(folder + "/beyond.ics");
    ASSERT_TRUE(beyond.open(QIODevice::WriteOnly) && beyond.resize(IcalReader::kMaxListedBytes + 1));
    beyond.close();
    // Opening a FIFO to read waits for a writer, for good: none may be opened so.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/pipe.ics").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(folder + "/pipe.ics", folder + "/link-to-pipe.ics"));
    ASSERT_TRUE(QDir(folder).mkdir("folder.ics"));
    // libical reads a TZID the file does not define as a file of the time zone database.
    write("zone-path.ics", "BEGIN:VEVENT\nUID:escape\nDTSTART;TZID=" + QByteArray("../").repeated(12) +
                               QFile::encodeName(folder) + "/pipe.ics:20260105T100000\nSUMMARY:Escape\nEND:VEVENT\n");
    // A zone named where a listing reads no time.
    write("received.ics", "BEGIN:VEVENT\nUID:parcel\nDTSTART:20260201T000000Z\n"
                          "X-RECEIVED;TZID=Nowhere Time:20260101T000000\nEND:VEVENT\n");
    // A NUL byte in a line a listing does not read: the event is listed, and its file named.
    write("nul.ics", QByteArray("BEGIN:VEVENT\nUID:flight\nDTSTART:20260201T000000Z\nX-ALT-DESC:Seat\0 14C\n"
                                "SUMMARY:Flight\nEND:VEVENT\n",
                                96));
    LogCapture log(QStringLiteral("app.parlivox.calendar"));
    IcalCalendarStore store;
    const QDateTime now = ExportedCalendars::now();
    const auto listing = store.events(now, now.addSecs(8 * 3600), nullptr);
    ASSERT_TRUE(listing);
    QStringList titles;
    for (const CalendarEvent& event : listing->events)
        titles << event.title + (event.notes.isEmpty() ? "" : " (" + event.notes.left(10) + ")");
    // The long lines were Review's description. The files export the same lunch and review:
    // each is one event.
    EXPECT_EQ(titles, QStringList({"Standup", "Escape", "Lunch", "Dentist", "Review"}));
    EXPECT_EQ(listing->unknownZones, QStringList({"received.ics", "zone-path.ics"}));
    QStringList leftOut;
    for (const CalendarStore::LeftOut& file : listing->leftOut)
        leftOut << QString("%1 %2 %3").arg(file.file, nameOf(file.reason)).arg(file.largest >> 20);
    EXPECT_EQ(leftOut, QStringList({"beyond.ics tooLarge 256", "deep.ics damaged 0", "folder.ics notRegular 0",
                                    "link-to-pipe.ics notRegular 0", "not-a-calendar.ics notACalendar 0",
                                    "nul.ics damaged 0", "pipe.ics notRegular 0"}));
    const QString logged = log.messages().join('\n').replace(folder, "<folder>");
    for (const char* line :
         {"skipped lines longer than 128 KiB in <folder>/long-line.ics: 1",
          "skipped lines longer than 128 KiB in <folder>/huge-line.ics: 1",
          "skipped <folder>/beyond.ics: it is larger than 256 MiB",
          "skipped <folder>/not-a-calendar.ics: not an iCalendar file",
          "skipped <folder>/deep.ics: damaged (components nested too deep: 1)",
          "skipped <folder>/nul.ics: damaged (events holding a NUL byte: 1)",
          "skipped <folder>/pipe.ics: not a regular file", "skipped <folder>/link-to-pipe.ics: not a regular file",
          "skipped <folder>/folder.ics: Is a directory"})
        EXPECT_TRUE(logged.contains(line)) << line << "\n" << logged.toStdString();
    // A change never opens it either, nor writes over it: a new event of its name goes beside it.
    QString error;
    EXPECT_TRUE(store.save({"pipe", now, now.addSecs(3600), "Into the pipe", "", ""}, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/pipe-2.ics"));
    // The event whose TZID leads to the FIFO is renamed; its times stay as they were written.
    const QByteArray escapeBefore = *FileIO::readAll(folder + "/zone-path.ics");
    std::optional<CalendarEvent> escape;
    ASSERT_TRUE(store.find("escape", &escape, &error) && escape);
    escape->title = "Escaped";
    EXPECT_TRUE(store.save(*escape, &error)) << error.toStdString();
    const QByteArray escapeAfter = *FileIO::readAll(folder + "/zone-path.ics");
    EXPECT_EQ(CalendarBytes::changedOutside(escapeBefore, escapeAfter, "escape"), std::nullopt);
    EXPECT_TRUE(escapeAfter.contains("SUMMARY:Escaped\r\n"));
    EXPECT_TRUE(escapeAfter.contains("DTSTART;TZID=../../")) << escapeAfter.toStdString();
    struct stat pipe {};
    ASSERT_EQ(::stat(QFile::encodeName(folder + "/pipe.ics").constData(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
}

// Each occurrence ends where its own end says: one of dates at the midnight its days name,
// wherever the clocks change (so a day's event never reaches into the next), and one of an
// RDATE period where the period ends (the example of RFC 5545). Listed and found alike.
TEST(IcalCalendarStore, AnOccurrenceEndsWhereItsOwnEndSays)
{
    ScopedTimeZone zone("America/New_York");
    ScopedDataRoot root;
    write("ends.ics", "BEGIN:VEVENT\nUID:days\nDTSTART;VALUE=DATE:20260306\nDTEND;VALUE=DATE:20260307\n"
                      "RRULE:FREQ=DAILY;COUNT=5\nEND:VEVENT\n"
                      "BEGIN:VEVENT\nUID:weekend\nDTSTART;VALUE=DATE:20261031\nDURATION:P2D\n"
                      "RRULE:FREQ=WEEKLY;COUNT=2\nEND:VEVENT\n"
                      "BEGIN:VEVENT\nUID:periods\nDTSTART:19970101T180000Z\nDTEND:19970101T190000Z\n"
                      "RDATE;VALUE=PERIOD:19970101T180000Z/19970102T070000Z,19970901T180000Z/PT5H30M\nEND:VEVENT\n");
    IcalCalendarStore store;
    const auto shown = [](const CalendarEvent& event) {
        return event.id + ' ' + event.start.toUTC().toString("MM-dd HH:mm") + '-' +
               event.end.toUTC().toString("MM-dd HH:mm");
    };
    const auto utcDay = [](int year, int month, int day, int hour = 0) {
        return QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
    };
    const struct {
        const char* name;
        QDateTime from, to;
        QStringList listed;
    } cases[] = {
        {"days across the clocks going forward",
         utcDay(2026, 3, 1),
         utcDay(2026, 4, 1),
         {"days#20260306T050000Z 03-06 05:00-03-07 05:00", "days#20260307T050000Z 03-07 05:00-03-08 05:00",
          "days#20260308T050000Z 03-08 05:00-03-09 04:00", "days#20260309T040000Z 03-09 04:00-03-10 04:00",
          "days#20260310T040000Z 03-10 04:00-03-11 04:00"}},
        // The first hour of the 9th holds the 9th alone.
        {"the morning after",
         utcDay(2026, 3, 9, 4),
         utcDay(2026, 3, 9, 5),
         {"days#20260309T040000Z 03-09 04:00-03-10 04:00"}},
        {"two days across the clocks going back",
         utcDay(2026, 10, 1),
         utcDay(2026, 12, 1),
         {"weekend#20261031T040000Z 10-31 04:00-11-02 05:00", "weekend#20261107T050000Z 11-07 05:00-11-09 05:00"}},
        {"periods",
         utcDay(1997, 1, 1),
         utcDay(1998, 1, 1),
         {"periods#19970101T180000Z 01-01 18:00-01-02 07:00", "periods#19970901T180000Z 09-01 18:00-09-01 23:30"}},
        // Long past the series' own hour.
        {"the morning after a night's period",
         utcDay(1997, 1, 2, 6),
         utcDay(1997, 1, 2, 7),
         {"periods#19970101T180000Z 01-01 18:00-01-02 07:00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList listed;
        for (const CalendarEvent& event :
             store.events(c.from, c.to, nullptr).value_or(CalendarStore::Listing()).events) {
            listed << shown(event);
            std::optional<CalendarEvent> found;
            ASSERT_TRUE(store.find(event.id, &found, nullptr));
            EXPECT_EQ(found, event);
        }
        EXPECT_EQ(listed, c.listed);
    }
}

// Two exports of one calendar and an invitation to one occurrence of its series: the folder
// is one calendar. An event is listed once, as its winning copy says; the invitation stands
// for its occurrence; a change lands in the copy listed, and a removal takes the event out of
// every file.
TEST(IcalCalendarStore, AnEventInSeveralFilesIsOneEvent)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    const QByteArray team =
        "BEGIN:VEVENT\nUID:team\nDTSTART;TZID=Asia/Seoul:20260105T100000\n"
        "DTEND;TZID=Asia/Seoul:20260105T110000\nRRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:%1\nEND:VEVENT\n";
    const QByteArray solo = "BEGIN:VEVENT\nUID:solo\nDTSTART;TZID=Asia/Seoul:20260106T150000\n"
                            "DTEND;TZID=Asia/Seoul:20260106T160000\nSUMMARY:Solo\nEND:VEVENT\n";
    write("2025-export.ics", QByteArray(team).replace("%1", "Team") + solo);
    write("2026-export.ics", QByteArray(team).replace("%1", "Team (renamed)") + solo);
    write("invite.ics", "BEGIN:VEVENT\nUID:team\nRECURRENCE-ID;TZID=Asia/Seoul:20260112T100000\n"
                        "DTSTART;TZID=Asia/Seoul:20260112T110000\nDTEND;TZID=Asia/Seoul:20260112T120000\n"
                        "SUMMARY:Team (moved)\nEND:VEVENT\n");
    IcalCalendarStore store;
    const auto listed = [&] {
        QStringList shown;
        for (const CalendarEvent& event : allEvents(store).value_or(QList<CalendarEvent>()))
            shown << event.start.toString("dd HH:mm ") + event.title;
        return shown;
    };
    const QStringList files = {"2025-export.ics", "2026-export.ics", "invite.ics"};
    const auto contents = [&] {
        QList<QByteArray> all;
        for (const QString& file : files)
            all << bytesOf(file);
        return all;
    };
    const QString moved = "team#20260112T010000Z";
    std::optional<CalendarEvent> found;
    ASSERT_TRUE(store.find(moved, &found, nullptr));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->title, "Team (moved)");
    found->title = "Team (moved again)";

    const struct {
        const char* name;
        std::function<bool()> change;
        QStringList listed;
        QList<bool> changedFiles;  // of the three files
    } steps[] = {
        {"as read",
         [] { return true; },
         {"05 10:00 Team (renamed)", "06 15:00 Solo", "12 11:00 Team (moved)", "19 10:00 Team (renamed)"},
         {false, false, false}},
        {"the invitation changed where it stands",
         [&] { return store.save(*found, nullptr); },
         {"05 10:00 Team (renamed)", "06 15:00 Solo", "12 11:00 Team (moved again)", "19 10:00 Team (renamed)"},
         {false, false, true}},
        {"one occurrence taken out of the winning copy",
         [&] { return store.remove("team#20260119T010000Z", nullptr); },
         {"05 10:00 Team (renamed)", "06 15:00 Solo", "12 11:00 Team (moved again)"},
         {false, true, false}},
        {"the occurrence of the invitation taken out",
         [&] { return store.remove(moved, nullptr); },
         {"05 10:00 Team (renamed)", "06 15:00 Solo"},
         {false, true, false}},
        {"an event out of every file",
         [&] { return store.remove("solo", nullptr); },
         {"05 10:00 Team (renamed)"},
         {true, true, false}},
        {"a series with its invitation", [&] { return store.remove("team", nullptr); }, {}, {true, true, true}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const QList<QByteArray> before = contents();
        ASSERT_TRUE(step.change());
        EXPECT_EQ(listed(), step.listed);
        const QList<QByteArray> after = contents();
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(after[i] != before[i], step.changedFiles[i]) << files[i].toStdString();
    }
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList());
}

namespace {
// The names of the properties whose lines differ between two texts, each line as written.
QSet<QByteArray> changedNames(const QByteArray& before, const QByteArray& after)
{
    const auto linesOf = [](QByteArray text) {
        QMap<QByteArray, int> lines;
        for (const QByteArray& line : text.replace("\r\n ", "").split('\n'))
            ++lines[line.trimmed()];
        return lines;
    };
    const QMap<QByteArray, int> was = linesOf(before), now = linesOf(after);
    QSet<QByteArray> names;
    for (const auto& [one, other] : {std::pair(&was, &now), std::pair(&now, &was)})
        for (auto line = one->cbegin(); line != one->cend(); ++line)
            if (other->value(line.key()) != line.value())
                names.insert(QString::fromUtf8(line.key()).section(QRegularExpression("[;:]"), 0, 0).toUtf8());
    return names;
}

// In Berlin: a day of March 2019 is 23:00 UTC the evening before.
QDateTime berlin(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2019, 3, day), QTime(hour, minute), QTimeZone("Europe/Berlin"));
}

const QByteArray kWindowsZone = "BEGIN:VTIMEZONE\nTZID:W. Europe Standard Time\nBEGIN:STANDARD\n"
                                "DTSTART:16010101T030000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\n"
                                "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\nEND:STANDARD\nBEGIN:DAYLIGHT\n"
                                "DTSTART:16010101T020000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0200\n"
                                "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
}  // namespace

// A change writes the properties it changes and no other, each time in the form it has (a date
// stays a date, a zone stays, floating and UTC stay, a duration stays), an occurrence's
// override in the form of its series with the occurrence's own length; the lines it writes end
// as the file's do, folded at 75 octets and never inside a character; every byte outside the
// changed event stays, and what the file then says is what was saved, found and listed alike.
TEST(IcalCalendarStore, AChangeWritesWhatItChangesInTheFormItHas)
{
    ScopedTimeZone zone("Europe/Berlin");
    ScopedDataRoot root;
    const auto rename = [](CalendarEvent& event) { event.title = "Renamed"; };
    const auto laterBy = [](int days, int hours) {
        return [=](CalendarEvent& event) {
            event.start = event.start.toLocalTime().addDays(days).addSecs(hours * 3600);
            event.end = event.end.toLocalTime().addDays(days).addSecs(hours * 3600);
        };
    };
    const QSet<QByteArray> stamps = {"DTSTAMP", "LAST-MODIFIED"};
    const QSet<QByteArray> renamed = stamps + QSet<QByteArray>{"SUMMARY"};
    const QSet<QByteArray> moved = stamps + QSet<QByteArray>{"DTSTART", "DTEND", "SEQUENCE"};
    const QByteArray day = "BEGIN:VEVENT\nUID:day\nDTSTART;VALUE=DATE:20190304\nDTEND;VALUE=DATE:20190305\n"
                           "SUMMARY:Day\nEND:VEVENT\n";
    const QByteArray days = "BEGIN:VEVENT\nUID:days\nDTSTAMP:20190101T000000Z\nDTSTART;VALUE=DATE:20190304\n"
                            "DTEND;VALUE=DATE:20190305\nRRULE:FREQ=DAILY;COUNT=5\nSUMMARY:Days\nEND:VEVENT\n";
    const QByteArray trips = "BEGIN:VEVENT\nUID:trip\nDTSTART;VALUE=DATE:20190302\nDTEND;VALUE=DATE:20190309\n"
                             "RRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:Trip\nEND:VEVENT\n";
    const QByteArray timed = "BEGIN:VEVENT\nUID:t\nDTSTART%1\nDTEND%2\nSUMMARY:Timed\nEND:VEVENT\n";
    const auto at = [&](const char* start, const char* end) {
        return QByteArray(timed).replace("%1", start).replace("%2", end);
    };
    const struct {
        const char* name;
        QByteArray body;  // the calendar's children
        QString id;
        std::function<void(CalendarEvent&)> change;
        QList<QByteArray> written;  // lines the file holds afterwards
        QSet<QByteArray> changes = {};  // the only properties whose lines differ, when given
        QByteArray after = {};  // the file's bytes after its calendar
        QByteArray lineEnd = "\r\n";  // the file's
    } rows[] = {
        {"an all-day event renamed",
         day,
         "day",
         rename,
         {"DTSTART;VALUE=DATE:20190304\r\n", "DTEND;VALUE=DATE:20190305\r\n", "SUMMARY:Renamed\r\n"},
         renamed},
        {"an all-day event moved a day",
         day,
         "day",
         laterBy(1, 0),
         {"DTSTART;VALUE=DATE:20190305\r\n", "DTEND;VALUE=DATE:20190306\r\n", "SEQUENCE:1\r\n"},
         moved},
        {"an all-day event moved to a time of day",
         day,
         "day",
         laterBy(0, 15),
         {"DTSTART:20190304T140000Z\r\n", "DTEND:20190305T140000Z\r\n"},
         moved},
        {"one day of an all-day series renamed",
         days,
         "days#20190304T230000Z",
         rename,
         {"RECURRENCE-ID;VALUE=DATE:20190305\r\n", "DTSTART;VALUE=DATE:20190305\r\n", "DTEND;VALUE=DATE:20190306\r\n",
          "SUMMARY:Renamed\r\n", "RRULE:FREQ=DAILY;COUNT=5\r\n"}},
        {"one week of a series of weeks moved a day",
         trips,
         "trip#20190308T230000Z",
         laterBy(1, 0),
         {"RECURRENCE-ID;VALUE=DATE:20190309\r\n", "DTSTART;VALUE=DATE:20190310\r\n", "DTEND;VALUE=DATE:20190317\r\n"}},
        {"a time in a zone the file defines, moved",
         kWindowsZone +
             at(";TZID=W. Europe Standard Time:20190304T100000", ";TZID=W. Europe Standard Time:20190304T110000"),
         "t",
         laterBy(0, 1),
         {"DTSTART;TZID=W. Europe Standard Time:20190304T110000\r\n",
          "DTEND;TZID=W. Europe Standard Time:20190304T120000\r\n"},
         moved},
        {"a floating time moved",
         at(":20190304T100000", ":20190304T110000"),
         "t",
         laterBy(0, 1),
         {"DTSTART:20190304T110000\r\n", "DTEND:20190304T120000\r\n"},
         moved},
        {"a time in UTC moved",
         at(":20190304T090000Z", ":20190304T100000Z"),
         "t",
         laterBy(0, 1),
         {"DTSTART:20190304T100000Z\r\n", "DTEND:20190304T110000Z\r\n"},
         moved},
        {"a duration moved",
         "BEGIN:VEVENT\nUID:d\nDTSTART;TZID=Europe/Berlin:20190304T100000\nDURATION:PT1H30M\nEND:VEVENT\n",
         "d",
         laterBy(0, 1),
         {"DTSTART;TZID=Europe/Berlin:20190304T110000\r\n", "DURATION:PT1H30M\r\n"},
         stamps + QSet<QByteArray>{"DTSTART", "SEQUENCE"}},
        {"empty values and a property of no known name kept",
         "BEGIN:VEVENT\nUID:e\nDTSTART:20190304T090000Z\nDESCRIPTION:\nLOCATION:\nFOO-BAR;X=1:baz\nEND:VEVENT\n",
         "e",
         rename,
         {"DESCRIPTION:\r\nLOCATION:\r\nFOO-BAR;X=1:baz\r\n"},
         renamed},
        {"the second of two calendars",
         day + "END:VCALENDAR\nBEGIN:VCALENDAR\nVERSION:2.0\n" + QByteArray(day).replace("UID:day", "UID:other"),
         "other",
         rename,
         {"SUMMARY:Renamed\r\n", "SUMMARY:Day\r\n"},
         renamed},
        {"a parameter of a property not changed",
         at(":20190304T090000Z", ":20190304T100000Z").replace("SUMMARY:Timed", "SUMMARY;LANGUAGE=en-US:Timed"),
         "t",
         laterBy(0, 1),
         {"SUMMARY;LANGUAGE=en-US:Timed\r\n"},
         moved},
        {"a description with its alternative, renamed",
         at(":20190304T090000Z", ":20190304T100000Z")
             .replace("SUMMARY:Timed", "SUMMARY:Timed\nDESCRIPTION;ALTREP=\"cid:n@x\":Notes"),
         "t",
         rename,
         {"DESCRIPTION;ALTREP=\"cid:n@x\":Notes\r\n"},
         renamed},
        {"notes changed, their alternative dropped",
         at(":20190304T090000Z", ":20190304T100000Z")
             .replace("SUMMARY:Timed", "SUMMARY:Timed\nDESCRIPTION;ALTREP=\"cid:n@x\":Notes"),
         "t",
         [](CalendarEvent& event) { event.notes = "New, shorter; notes\nsecond line"; },
         {"DESCRIPTION:New\\, shorter\\; notes\\nsecond line\r\n"},
         stamps + QSet<QByteArray>{"DESCRIPTION"}},
        {"a location added",
         day,
         "day",
         [](CalendarEvent& event) { event.location = "Hall"; },
         {"LOCATION:Hall\r\n"},
         stamps + QSet<QByteArray>{"LOCATION"}},
        {"a file ending in a blank line", day, "day", rename, {"SUMMARY:Renamed\r\n"}, renamed, "\r\n\r\n"},
        // Its start folded where another tool folded it, which writing it again would not keep.
        {"only the end moved",
         at(":2019030\n 4T010000Z", ":20190304T020000Z"),
         "t",
         [](CalendarEvent& event) { event.end = event.end.addSecs(1800); },
         {"DTSTART:2019030\r\n 4T010000Z\r\n", "DTEND:20190304T023000Z\r\n"},
         stamps + QSet<QByteArray>{"DTEND", "SEQUENCE"}},
        {"an all-day event of a duration moved a day",
         "BEGIN:VEVENT\nUID:d\nDTSTART;VALUE=DATE:20190304\nDURATION:P2D\nEND:VEVENT\n",
         "d",
         laterBy(1, 0),
         {"DTSTART;VALUE=DATE:20190305\r\n", "DURATION:P2D\r\n"},
         stamps + QSet<QByteArray>{"DTSTART", "SEQUENCE"}},
        // New lines, folds of a long one among them, end as the file's do.
        {"a file of LF line ends moved, renamed at length and given a location",
         day,
         "day",
         [&](CalendarEvent& event) {
             laterBy(1, 0)(event);
             event.title = QString(100, 'L');
             event.location = "Hall";
         },
         {"DTSTART;VALUE=DATE:20190305\n", "LOCATION:Hall\n", "SEQUENCE:1\n"},
         {},
         {},
         "\n"},
        {"notes changed after an alarm's own",
         at(":20190304T090000Z", ":20190304T100000Z")
             .replace("SUMMARY:Timed", "SUMMARY:Timed\nBEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:Alarm\n"
                                       "TRIGGER:-PT15M\nEND:VALARM\nDESCRIPTION:Notes"),
         "t",
         [](CalendarEvent& event) { event.notes = "New notes"; },
         {"ACTION:DISPLAY\r\nDESCRIPTION:Alarm\r\n", "END:VALARM\r\nDESCRIPTION:New notes\r\n"},
         stamps + QSet<QByteArray>{"DESCRIPTION"}},
        {"notes given with CRLF breaks",
         day,
         "day",
         [](CalendarEvent& event) { event.notes = "one\r\ntwo\r\n\r\nfour"; },
         {"DESCRIPTION:one\\ntwo\\n\\nfour\r\n"},
         stamps + QSet<QByteArray>{"DESCRIPTION"}},
        {"renamed in 28 Hangul syllables",
         day,
         "day",
         [](CalendarEvent& event) { event.title = QString("가나다라마바사아자차카타파하").repeated(2); },
         {},
         renamed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folder()).removeRecursively();
        ASSERT_TRUE(FileIO::ensureDirectory(folder()));
        const QByteArray before =
            QByteArray("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other tool//EN\n" + row.body + "END:VCALENDAR\n")
                .replace("\n", row.lineEnd) +
            row.after;
        ASSERT_TRUE(FileIO::writeAtomically(folder() + "/f.ics", before));
        IcalCalendarStore store;
        std::optional<CalendarEvent> event;
        ASSERT_TRUE(store.find(row.id, &event, nullptr));
        ASSERT_TRUE(event);
        row.change(*event);
        QString error;
        ASSERT_TRUE(store.save(*event, &error)) << error.toStdString();
        const QByteArray after = bytesOf("f.ics");
        EXPECT_EQ(CalendarBytes::changedOutside(before, after, row.id.section('#', 0, 0).toUtf8()), std::nullopt)
            << after.toStdString();
        EXPECT_TRUE(after.endsWith("END:VCALENDAR" + row.lineEnd + row.after));
        EXPECT_EQ(after.count('\r'), row.lineEnd == "\n" ? 0 : after.count('\n')) << after.toStdString();
        // Folded at 75 octets, never inside a character.
        for (const QByteArray& line : after.split('\n'))
            EXPECT_TRUE(line.size() - line.endsWith('\r') <= 75 && QString::fromUtf8(line).toUtf8() == line)
                << line.toStdString();
        for (const QByteArray& line : row.written)
            EXPECT_TRUE(after.contains(line)) << line.toStdString() << "\n" << after.toStdString();
        if (!row.changes.isEmpty()) {
            EXPECT_EQ(changedNames(before, after), row.changes) << after.toStdString();
        }
        // Read back by another store: found and listed as saved, a CRLF in notes as the one break it is.
        CalendarEvent saved = *event;
        saved.notes.replace("\r\n", "\n");
        IcalCalendarStore again;
        std::optional<CalendarEvent> found;
        ASSERT_TRUE(again.find(row.id, &found, nullptr));
        EXPECT_EQ(found, saved);
        const auto listing = again.events(berlin(1, 0), berlin(31, 0), nullptr);
        ASSERT_TRUE(listing);
        EXPECT_TRUE(listing->events.contains(saved)) << listing->events.size();
    }
}

// The folder as one calendar: of the copies of an event or of one occurrence's override, the
// one with the higher SEQUENCE, then the one read last, is listed, found and changed, wherever
// the copies stand; a detached override counts only where its series does not decide.
TEST(IcalCalendarStore, TheFolderIsOneCalendar)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    const auto vevent = [](const char* uid, const char* start, const char* title, const QByteArray& more = {}) {
        return "BEGIN:VEVENT\nUID:" + QByteArray(uid) + "\nDTSTART;TZID=Asia/Seoul:" + start +
               "\nDURATION:PT1H\nSUMMARY:" + title + "\n" + more + "END:VEVENT\n";
    };
    const QByteArray weekly = "RRULE:FREQ=WEEKLY;COUNT=2\n";
    const auto moved = [](const char* from) { return "RECURRENCE-ID;TZID=Asia/Seoul:" + QByteArray(from) + "\n"; };
    const QByteArray sequence1 = "SEQUENCE:1\n";
    const QByteArray team = vevent("team", "20260105T100000", "Team", weekly);
    const struct {
        const char* name;
        QList<std::pair<const char*, QByteArray>> files;
        QStringList listed;  // "<day> <time> <title>"
        QList<std::pair<QString, QString>> found;  // id and the title found, or ""
        const char* changedId;  // renamed: the files that then change
        QStringList changedFiles;
    } rows[] = {
        {"two copies of a series in one file, the newer last",
         {{"a.ics", team + vevent("team", "20260105T110000", "Team (new)", weekly)}},
         {"05 11:00 Team (new)", "12 11:00 Team (new)"},
         {{"team#20260105T020000Z", "Team (new)"}, {"team#20260105T010000Z", ""}},
         "team#20260105T020000Z",
         {"a.ics"}},
        {"two copies in two files, the newer in the file read last",
         {{"a.ics", team}, {"b.ics", vevent("team", "20260105T110000", "Team (new)", weekly)}},
         {"05 11:00 Team (new)", "12 11:00 Team (new)"},
         {{"team#20260105T020000Z", "Team (new)"}},
         "team#20260105T020000Z",
         {"b.ics"}},
        {"a higher SEQUENCE before a lower one",
         {{"a.ics", vevent("team", "20260105T110000", "Team (new)", weekly + sequence1) + team}},
         {"05 11:00 Team (new)", "12 11:00 Team (new)"},
         {{"team#20260105T020000Z", "Team (new)"}},
         "team#20260105T020000Z",
         {"a.ics"}},
        {"two copies of one override in the series' file, the newer last",
         {{"a.ics", team + vevent("team", "20260112T120000", "Moved", moved("20260112T100000")) +
                        vevent("team", "20260112T130000", "Moved again", moved("20260112T100000"))}},
         {"05 10:00 Team", "12 13:00 Moved again"},
         {{"team#20260112T010000Z", "Moved again"}},
         "team#20260112T010000Z",
         {"a.ics"}},
        {"two copies of a detached override in two files, the newer in the file read last",
         {{"a.ics", vevent("board", "20260107T110000", "Board", moved("20260107T100000"))},
          {"b.ics", vevent("board", "20260107T120000", "Board (moved)", moved("20260107T100000"))}},
         {"07 12:00 Board (moved)"},
         {{"board#20260107T010000Z", "Board (moved)"}},
         "board#20260107T010000Z",
         {"b.ics"}},
        {"an override of a single event, detached",
         {{"a.ics", vevent("solo", "20260106T150000", "Solo")},
          {"b.ics", vevent("solo", "20260106T170000", "Solo (moved)", moved("20260106T150000"))}},
         {"06 15:00 Solo"},
         {{"solo", "Solo"}, {"solo#20260106T060000Z", ""}},
         "solo",
         {"a.ics"}},
        {"an occurrence the series' own file took out, overridden elsewhere",
         {{"a.ics", vevent("team", "20260105T100000", "Team", weekly + "EXDATE;TZID=Asia/Seoul:20260112T100000\n")},
          {"b.ics", vevent("team", "20260112T120000", "Moved", moved("20260112T100000"))}},
         {"05 10:00 Team"},
         {{"team#20260112T010000Z", ""}, {"team#20260105T010000Z", "Team"}},
         "team#20260105T010000Z",
         {"a.ics"}},
        {"a single event its EXDATE took out",
         {{"a.ics", vevent("gone", "20260106T090000", "Gone", "EXDATE;TZID=Asia/Seoul:20260106T090000\n") + team}},
         {"05 10:00 Team", "12 10:00 Team"},
         {{"gone", ""}},
         "team#20260105T010000Z",
         {"a.ics"}},
        {"one file",
         {{"a.ics", team + vevent("team", "20260112T120000", "Moved", moved("20260112T100000"))}},
         {"05 10:00 Team", "12 12:00 Moved"},
         {{"team#20260112T010000Z", "Moved"}},
         "team#20260105T010000Z",
         {"a.ics"}},
        {"the same file twice",
         {{"a.ics", team + vevent("team", "20260112T120000", "Moved", moved("20260112T100000"))},
          {"b.ics", team + vevent("team", "20260112T120000", "Moved", moved("20260112T100000"))}},
         {"05 10:00 Team", "12 12:00 Moved"},
         {{"team#20260112T010000Z", "Moved"}},
         "team#20260105T010000Z",
         {"b.ics"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folder()).removeRecursively();
        for (const auto& [name, body] : row.files)
            write(name, body);
        IcalCalendarStore store;
        QStringList listed;
        const auto listing =
            store.events(QDateTime(QDate(2026, 1, 5), QTime()), QDateTime(QDate(2026, 1, 19), QTime()), nullptr);
        ASSERT_TRUE(listing);
        for (const CalendarEvent& event : listing->events)
            listed << event.start.toString("dd HH:mm ") + event.title;
        EXPECT_EQ(listed, row.listed);
        EXPECT_TRUE(listing->unfinished.isEmpty() && listing->cut.isEmpty());
        for (const auto& [id, title] : row.found) {
            std::optional<CalendarEvent> found;
            ASSERT_TRUE(store.find(id, &found, nullptr));
            EXPECT_EQ(found ? found->title : QString(), title) << id.toStdString();
        }
        QMap<QString, QByteArray> before;
        for (const auto& [name, body] : row.files)
            before.insert(name, bytesOf(name));
        std::optional<CalendarEvent> changed;
        ASSERT_TRUE(store.find(row.changedId, &changed, nullptr) && changed);
        changed->title = "Renamed";
        ASSERT_TRUE(store.save(*changed, nullptr));
        QStringList changedFiles;
        for (auto file = before.cbegin(); file != before.cend(); ++file)
            if (bytesOf(file.key()) != file.value())
                changedFiles << file.key();
        EXPECT_EQ(changedFiles, row.changedFiles);
        std::optional<CalendarEvent> found;
        ASSERT_TRUE(IcalCalendarStore().find(row.changedId, &found, nullptr));
        EXPECT_EQ(found, changed);
    }
}

// A TZID is read as Qt's zone of an id it lists, even where the file defines the id otherwise
// (an outdated definition), else as the file defines it, else as the database's zone of a link;
// one that leads out of the database (to a FIFO) is a zone nothing resolves, read as local
// time and named, and the event is still changed in place.
TEST(IcalCalendarStore, ZonesAreReadAsTheirNamesMean)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    ASSERT_TRUE(FileIO::ensureDirectory(folder()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder() + "/pipe").constData(), 0600), 0);
    // New York before 2007: daylight saving from the first Sunday of April.
    const QByteArray outdated = "BEGIN:VTIMEZONE\nTZID:America/New_York\nBEGIN:STANDARD\nDTSTART:19671029T020000\n"
                                "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
                                "END:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:19870405T020000\n"
                                "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=4\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
                                "END:DAYLIGHT\nEND:VTIMEZONE\n";
    const QByteArray escape = "Europe/" + QByteArray("../").repeated(12) + QFile::encodeName(folder()).mid(1) + "/pipe";
    const struct {
        const char* name;
        QByteArray zones;
        QByteArray tzid;
        QDateTime start;  // 20 March 2026, 10:00 on the zone's clock
        bool unknown = false;
    } rows[] = {
        {"an IANA id the file defines as it was before 2007", outdated, "America/New_York",
         QDateTime(QDate(2026, 3, 20), QTime(14, 0), Qt::UTC)},
        {"a link of the database", {}, "US/Eastern", QDateTime(QDate(2026, 3, 20), QTime(14, 0), Qt::UTC)},
        {"a Windows name", {}, "Eastern Standard Time", QDateTime(QDate(2026, 3, 20), QTime(14, 0), Qt::UTC)},
        {"a path out of the database, to a FIFO",
         {},
         escape,
         QDateTime(QDate(2026, 3, 20), QTime(1, 0), Qt::UTC),
         true},
    };
    // 02:30 of a night whose clocks skip from 02:00 to 03:00 is 03:30 of the new offset, in a
    // zone as in floating local time.
    {
        ScopedTimeZone berlin("Europe/Berlin");
        const QDateTime skipped(QDate(2026, 3, 29), QTime(1, 30), Qt::UTC);
        for (const QByteArray start : {"DTSTART;TZID=Europe/Berlin:20260329T023000", "DTSTART:20260329T023000"}) {
            SCOPED_TRACE(start.toStdString());
            write("skipped.ics", "BEGIN:VEVENT\nUID:skipped\n" + start + "\nSUMMARY:Early\nEND:VEVENT\n");
            const auto listing = IcalCalendarStore().events(skipped.addDays(-1), skipped.addDays(1), nullptr);
            ASSERT_TRUE(listing);
            EXPECT_EQ(listing->leftOut.size(), 0);
            ASSERT_EQ(listing->events.size(), 1);
            EXPECT_EQ(listing->events.first().start, skipped);
        }
        QFile::remove(folder() + "/skipped.ics");
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray before = QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + row.zones +
                                             "BEGIN:VEVENT\nUID:z\nDTSTART;TZID=" + row.tzid +
                                             ":20260320T100000\nSUMMARY:Zoned\nEND:VEVENT\nEND:VCALENDAR\n")
                                      .replace("\r\n", "\n")
                                      .replace("\n", "\r\n");
        ASSERT_TRUE(FileIO::writeAtomically(folder() + "/z.ics", before));
        IcalCalendarStore store;
        const auto listing = store.events(row.start.addDays(-1), row.start.addDays(1), nullptr);
        ASSERT_TRUE(listing);
        ASSERT_EQ(listing->events.size(), 1);
        EXPECT_EQ(listing->events.first().start, row.start);
        EXPECT_EQ(listing->unknownZones, row.unknown ? QStringList{"z.ics"} : QStringList());
        CalendarEvent renamed = listing->events.first();
        renamed.title = "Renamed";
        ASSERT_TRUE(store.save(renamed, nullptr));
        EXPECT_EQ(CalendarBytes::changedOutside(before, bytesOf("z.ics"), "z"), std::nullopt);
        EXPECT_TRUE(bytesOf("z.ics").contains("DTSTART;TZID=" + row.tzid + ":20260320T100000\r\n"));
    }
}

// A large export is changed in place like any file; a removal that cannot take an event out of
// every file holding it writes none of them, and says why.
TEST(IcalCalendarStore, ALargeFileChangesAndARemovalIsWholeOrNothing)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    const ExportedCalendars::File large = ExportedCalendars::largeExport(9 << 20);
    ASSERT_TRUE(ExportedCalendars::write(folder(), large));
    IcalCalendarStore store;
    std::optional<CalendarEvent> review;
    ASSERT_TRUE(store.find("review-q1@example.com", &review, nullptr) && review);
    review->title = "Quarterly review (moved)";
    review->start = review->start.addSecs(1800);
    review->end = review->end.addSecs(1800);
    QString error;
    ASSERT_TRUE(store.save(*review, &error)) << error.toStdString();
    EXPECT_EQ(CalendarBytes::changedOutside(large.text, bytesOf(large.name), "review-q1@example.com"), std::nullopt);
    std::optional<CalendarEvent> found;
    ASSERT_TRUE(IcalCalendarStore().find("review-q1@example.com", &found, nullptr));
    EXPECT_EQ(found, review);

    QDir(folder()).removeRecursively();
    const QByteArray solo = "BEGIN:VEVENT\nUID:solo\nDTSTART:20260105T010000Z\nSUMMARY:Solo\n";
    write("a.ics", solo + "END:VEVENT\n");
    // Its alarm's END never written: libical ends the alarm with the event.
    write("b.ics", solo + "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VEVENT\n");
    const QByteArray a = bytesOf("a.ics"), b = bytesOf("b.ics");
    IcalCalendarStore both;
    ASSERT_TRUE(both.find("solo", &found, nullptr) && found);
    EXPECT_FALSE(both.remove("solo", &error));
    EXPECT_EQ(error.replace(folder(), "<folder>"),
              "<folder>/b.ics is left as it is: the event's text cannot be changed safely, an END line inside it "
              "does not match");
    EXPECT_EQ(bytesOf("a.ics"), a);
    EXPECT_EQ(bytesOf("b.ics"), b);
}

// Copies of one calendar (two exports of it) list as the calendar alone: only the winning copy
// of a series is worked out, so those that lose spend nothing of the question's occurrences,
// steps or time, and no series is named as not worked out.
TEST(IcalCalendarStore, CopiesOfOneCalendarListAsItAlone)
{
    ScopedTimeZone zone("Asia/Seoul");
    ScopedDataRoot root;
    // More occurrences today than a question works out, in two copies; fewer in one.
    const ExportedCalendars::File busy = ExportedCalendars::busySeries(4);
    const QDateTime from = ExportedCalendars::now().date().startOfDay();
    std::optional<CalendarStore::Listing> alone;
    for (int copies = 1; copies <= 3; ++copies) {
        SCOPED_TRACE(copies);
        ASSERT_TRUE(ExportedCalendars::write(folder(), {QString("%1-%2").arg(copies).arg(busy.name), busy.text}));
        const auto listing = IcalCalendarStore().events(from, from.addDays(1), nullptr);
        ASSERT_TRUE(listing);
        EXPECT_EQ(listing->events.size(), 4 * 96);
        EXPECT_EQ(listing->unfinished, QStringList());
        EXPECT_EQ(listing->cut, QStringList());
        if (!alone)
            alone = listing;
        EXPECT_EQ(listing->events, alone->events);
    }
}

namespace {
// How a calendar file stands in the folder beside other programs.
enum class Layout {
    plain,
    linked,  // a link into a sync tool's folder, "calendar/a.ics" to "sync/real.ics"
    readOnlyFolder,  // a read-only mount, another user's shared folder
    readOnlyFile,
};

// Rewrites the file as another program would, between a reading and a change.
std::function<void()> otherProgram(const QByteArray& from, const QByteArray& to)
{
    return [=] {
        const QString path = folder() + "/a.ics";
        QByteArray text = FileIO::readAll(path).value_or("");
        ASSERT_TRUE(text.contains(from)) << from.toStdString();
        ASSERT_TRUE(FileIO::writeAtomically(path, text.replace(from, to)));
    };
}

// The lines of a calendar text past their folds and line ends.
QList<QByteArray> unfoldedLines(QByteArray text)
{
    return text.replace("\r\n ", "").replace("\n ", "").replace("\r\n", "\n").split('\n');
}
}  // namespace

// A change made where sync tools and other programs share the calendar: through their links,
// in calendars that may only be read, while another program writes, to events as other
// programs write them. It is made to the event as it was read, in the form its file has, or
// refused with its reason and nothing written.
TEST(IcalCalendarStore, AChangeBesideOtherProgramsIsMadeAsReadOrRefused)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QByteArray reminder = "BEGIN:VEVENT\nUID:r\nDTSTART;TZID=America/New_York:20261210T200000\n"
                                "SUMMARY:Call mom\nEND:VEVENT\n";
    const QByteArray standup = "BEGIN:VEVENT\nUID:s\nDTSTART;TZID=Asia/Seoul:20260105T100000\n"
                               "DTEND;TZID=Asia/Seoul:20260105T110000\nSUMMARY:Standup\nEND:VEVENT\n";
    const QByteArray other = "BEGIN:VEVENT\nUID:o\nDTSTART:20260106T010000Z\nSUMMARY:Other\nEND:VEVENT\n";
    const auto rename = [](CalendarEvent& event) { event.title = "Renamed"; };
    // As the update skill moves an event without length: an hour later, lasting an hour.
    const auto anHourLater = [](CalendarEvent& event) {
        event.start = event.start.addSecs(3600);
        event.end = event.start.addSecs(3600);
    };
    const struct Row {
        const char* name;
        QByteArray body;  // the calendar's children in a.ics
        const char* id;  // found, then changed or (without `change`) removed
        std::function<void(CalendarEvent&)> change;
        Layout layout = Layout::plain;
        std::function<void()> meanwhile = {};
        const char* refused = nullptr;  // part of the reason, or nothing when it is done
        QList<QByteArray> written = {};  // lines the file then holds; none: it is gone
    } rows[] = {
        {"a reminder in New York moved: its new end in its start's zone",
         reminder,
         "r",
         anHourLater,
         Layout::plain,
         {},
         nullptr,
         {"DTSTART;TZID=America/New_York:20261210T210000", "DTEND;TZID=America/New_York:20261210T220000"}},
        {"one day of a series of such reminders moved: its override too",
         QByteArray(reminder).replace("SUMMARY", "RRULE:FREQ=DAILY;COUNT=3\nSUMMARY"),
         "r#20261212T010000Z",
         anHourLater,
         Layout::plain,
         {},
         nullptr,
         {"RECURRENCE-ID;TZID=America/New_York:20261211T200000", "DTSTART;TZID=America/New_York:20261211T210000",
          "DTEND;TZID=America/New_York:20261211T220000"}},
        {"a UID with a comma left unescaped, renamed",
         QByteArray(standup).replace("UID:s", "UID:a,b@example.org") + other,
         "a,b@example.org",
         rename,
         Layout::plain,
         {},
         nullptr,
         {"UID:a,b@example.org", "SUMMARY:Renamed", "SUMMARY:Other"}},
        {"a UID with a semicolon left unescaped, removed",
         QByteArray(standup).replace("UID:s", "UID:a;b@example.org") + other,
         "a;b@example.org",
         {},
         Layout::plain,
         {},
         nullptr,
         {"SUMMARY:Other"}},
        {"renamed through a sync tool's link", standup, "s", rename, Layout::linked, {}, nullptr, {"SUMMARY:Renamed"}},
        {"the last event removed through a sync tool's link: the file it points to goes, and the link",
         standup,
         "s",
         {},
         Layout::linked},
        {"renamed in a read-only folder", standup, "s", rename, Layout::readOnlyFolder, {}, "Permission denied"},
        {"removed from a read-only folder", standup + other, "s", {}, Layout::readOnlyFolder, {}, "Permission denied"},
        {"renamed in a read-only file", standup, "s", rename, Layout::readOnlyFile, {}, "Permission denied"},
        {"the last event removed from a read-only file",
         standup,
         "s",
         {},
         Layout::readOnlyFile,
         {},
         "Permission denied"},
        {"renamed after another program set its location", standup, "s", rename, Layout::plain,
         otherProgram("SUMMARY:Standup", "SUMMARY:Standup\nLOCATION:Room 5"),
         "changed by another program since it was read"},
        {"renamed after another program moved it, with a newer SEQUENCE", standup, "s", rename, Layout::plain,
         otherProgram("T100000\nDTEND;TZID=Asia/Seoul:20260105T110000",
                      "T140000\nDTEND;TZID=Asia/Seoul:20260105T150000\nSEQUENCE:1"),
         "changed by another program since it was read"},
        {"renamed after another program deleted it", standup, "s", rename, Layout::plain,
         [] { ASSERT_TRUE(QFile::remove(folder() + "/a.ics")); }, "changed by another program since it was read"},
        {"one occurrence removed after another program moved it",
         QByteArray(standup).replace("SUMMARY", "RRULE:FREQ=DAILY;COUNT=3\nSUMMARY"),
         "s#20260106T010000Z",
         {},
         Layout::plain,
         otherProgram("END:VEVENT\n", "END:VEVENT\nBEGIN:VEVENT\nUID:s\nRECURRENCE-ID;TZID=Asia/Seoul:20260106T100000\n"
                                      "DTSTART;TZID=Asia/Seoul:20260106T150000\nSUMMARY:Later\nEND:VEVENT\n"),
         "changed by another program since it was read"},
        {"renamed after another program added another event",
         standup,
         "s",
         rename,
         Layout::plain,
         otherProgram("END:VEVENT\n", "END:VEVENT\n" + other),
         nullptr,
         {"SUMMARY:Renamed", "SUMMARY:Other"}},
        {"renamed where one of three copies leaves an alarm open: the copy shown, or refused",
         QByteArray(standup).replace("Standup", "First") +
             QByteArray(standup).replace("SUMMARY:Standup", "BEGIN:VALARM\nACTION:DISPLAY\nEND:X-ALARM\nSEQUENCE:2\n"
                                                            "SUMMARY:Shown") +
             QByteArray(standup).replace("Standup", "Last"),
         "s",
         rename,
         Layout::plain,
         {},
         "an END line inside it does not match"},
        {"renamed where one of three copies leaves an alarm open and the others are alike: the one shown",
         QByteArray(standup).replace("SUMMARY:Standup", "BEGIN:VALARM\nACTION:DISPLAY\nSUMMARY:Open") + standup +
             standup,
         "s",
         rename,
         Layout::plain,
         {},
         nullptr,
         {"SUMMARY:Renamed", "SUMMARY:Standup"}},
        {"renamed where its title's parameters cannot be read: written without them",
         QByteArray(standup).replace("SUMMARY:Standup", "SUMMARY;LANGUAGE\"de:Bio\xC3\xB6konomie-Tag"),
         "s",
         rename,
         Layout::plain,
         {},
         nullptr,
         {"SUMMARY:Renamed"}},
        {"a title whose parameter has no value, renamed: written without it",
         QByteArray(standup).replace("SUMMARY:Standup", "SUMMARY;LANGUAGE:Bio\xC3\xB6konomie-Tag\""),
         "s",
         rename,
         Layout::plain,
         {},
         nullptr,
         {"SUMMARY:Renamed"}},
        {"one day of a series that holds two DTSTART lines renamed: which a reader takes is its own",
         QByteArray(standup).replace("DTSTART", "DTSTART;TZID=America/New_York:20260105t100000\nRRULE:FREQ=DAILY;"
                                                "COUNT=3\nDTSTART"),
         "s#20260106T010000Z",
         rename,
         Layout::plain,
         {},
         "it holds DTSTART more than once"},
        {"renamed where a line the listing skips holds a NUL byte",
         QByteArray(standup).replace("SUMMARY:Standup", QByteArray("X-ALT-DESC:Seat\0 14C\nSUMMARY:Flight", 34)),
         "s",
         rename,
         Layout::plain,
         {},
         "it holds a NUL byte"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedDataRoot root;
        const QString path =
            row.layout == Layout::linked ? QDir::cleanPath(folder() + "/../sync/real.ics") : folder() + "/a.ics";
        ASSERT_TRUE(FileIO::ensureDirectory(folder()));
        ASSERT_TRUE(FileIO::ensureDirectory(QFileInfo(path).absolutePath()));
        ASSERT_TRUE(FileIO::writeAtomically(path, "BEGIN:VCALENDAR\nVERSION:2.0\n" + row.body + "END:VCALENDAR\n"));
        if (row.layout == Layout::linked) {
            ASSERT_TRUE(QFile::link("../sync/real.ics", folder() + "/a.ics"));
        }
        const QString locked = row.layout == Layout::readOnlyFolder ? folder() : path;
        if (row.layout == Layout::readOnlyFolder || row.layout == Layout::readOnlyFile) {
            ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), row.layout == Layout::readOnlyFile ? 0444 : 0555),
                      0);
        }
        const WithoutReadOverride asAnyone;
        IcalCalendarStore store;
        QString error;
        std::optional<CalendarEvent> found;
        ASSERT_TRUE(store.find(row.id, &found, &error)) << error.toStdString();
        ASSERT_TRUE(found);
        if (row.meanwhile) {
            row.meanwhile();
        }
        const QByteArray before = FileIO::readAll(path).value_or("<no file>");
        const QStringList names = QDir(folder()).entryList(QDir::Files | QDir::System);
        CalendarEvent changed = *found;
        if (row.change)
            row.change(changed);
        const bool done = row.change ? store.save(changed, &error) : store.remove(row.id, &error);
        const QByteArray after = FileIO::readAll(path).value_or("<no file>");
        ::chmod(QFile::encodeName(locked).constData(), row.layout == Layout::readOnlyFile ? 0644 : 0755);
        if (row.refused) {
            EXPECT_FALSE(done);
            EXPECT_TRUE(error.contains(row.refused)) << error.toStdString();
            EXPECT_EQ(after, before);
            EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::System), names) << "nothing is written anew";
            continue;
        }
        ASSERT_TRUE(done) << error.toStdString();
        if (row.layout == Layout::linked) {
            EXPECT_EQ(QFileInfo(folder() + "/a.ics").isSymLink(), bool(row.change)) << "the link stays or goes";
        }
        const QList<QByteArray> lines = unfoldedLines(after);
        for (const QByteArray& line : row.written)
            EXPECT_TRUE(lines.contains(line)) << line.toStdString() << " in\n" << after.toStdString();
        if (row.change) {
            EXPECT_EQ(CalendarBytes::changedOutside(before, after, QByteArray(row.id).split('#').first()),
                      std::nullopt);
            IcalCalendarStore again;
            std::optional<CalendarEvent> read;
            ASSERT_TRUE(again.find(row.id, &read, nullptr));
            EXPECT_EQ(read, changed) << "read back as saved";
        } else {
            std::optional<CalendarEvent> read;
            ASSERT_TRUE(IcalCalendarStore().find(row.id, &read, nullptr));
            EXPECT_EQ(read, std::nullopt);
            if (row.written.isEmpty()) {
                EXPECT_EQ(after, "<no file>") << "a file left with nothing goes, wherever a link leads";
            }
        }
    }
}
