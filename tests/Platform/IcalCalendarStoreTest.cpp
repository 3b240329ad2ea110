#include "Platform/IcalCalendarStore.h"

#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QTimeZone>

#include <gtest/gtest.h>

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
    write("broken.ics", "BEGIN:VEVENT\nUID:broken\nDTSTART:20260105T020000Z\n");
    write("nostart.ics", "BEGIN:VEVENT\nUID:nostart\nEND:VEVENT\n");

    IcalCalendarStore store;
    QString error;
    const auto events = store.events(&error);
    ASSERT_TRUE(events) << error.toStdString();
    const QList<CalendarEvent> expected = {{"sync", utc(2), utc(3), "", "", ""},
                                           {"office", utc(5), utc(5, 45), "", "", "one\ntwo"},
                                           {"ny", utc(13), utc(14), "Call, NY", "Zoom", ""}};
    EXPECT_EQ(*events, expected);
    EXPECT_EQ(events->last().start.timeZone().id(), "America/New_York");

    CalendarEvent changed = events->first();
    changed.title = "Renamed";
    changed.start = utc(4);
    changed.end = utc(5);
    ASSERT_TRUE(store.save(changed, nullptr));
    const QString text = QString::fromUtf8(*FileIO::readAll(IcalCalendarStore::defaultFolder() + "/from-sync.ics"));
    for (const char* kept : {"ATTENDEE:mailto:kim@example.com", "X-OTHER-TOOL:keep me", "BEGIN:VALARM"})
        EXPECT_TRUE(text.contains(kept)) << kept;
    EXPECT_EQ(text.count("BEGIN:VEVENT"), 1);
    EXPECT_EQ(IcalCalendarStore().events(nullptr)->first(), changed);
}
