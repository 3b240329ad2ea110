#include "Common/ExportedCalendars.h"

#include "Support/FileIO.h"

namespace {

const QByteArray kSeoul = "BEGIN:VTIMEZONE\nTZID:Asia/Seoul\nX-LIC-LOCATION:Asia/Seoul\nBEGIN:STANDARD\n"
                          "TZOFFSETFROM:+0900\nTZOFFSETTO:+0900\nTZNAME:KST\nDTSTART:19700101T000000\n"
                          "END:STANDARD\nEND:VTIMEZONE\n";

const QByteArray kDentist = "BEGIN:VEVENT\nUID:dentist-0105@example.com\nDTSTAMP:20251220T101500Z\n"
                            "DTSTART;TZID=Asia/Seoul:20260105T140000\nDTEND;TZID=Asia/Seoul:20260105T150000\n"
                            "SUMMARY:Dentist\nLOCATION:Gangnam\nEND:VEVENT\n";
const QByteArray kFlight = "BEGIN:VEVENT\nUID:flight-0107@example.com\nDTSTAMP:20251220T101500Z\n"
                           "DTSTART:20260106T230000Z\nDTEND:20260107T020000Z\nSUMMARY:Flight to Jeju\n"
                           "DESCRIPTION:Seat 14C\\, gate closes 07:40\nEND:VEVENT\n";
const QByteArray kLunch = "BEGIN:VEVENT\nUID:lunch-0105@example.com\nDTSTAMP:20251220T101500Z\n"
                          "DTSTART;TZID=Asia/Seoul:20260105T120000\nDTEND;TZID=Asia/Seoul:20260105T130000\n"
                          "SUMMARY:Lunch\nEND:VEVENT\n";
const char* const kLunchStart = "2026-01-05T12:00";

// A calendar file: the VCALENDAR around `body`, with CRLF line ends.
QByteArray calendar(const QByteArray& body)
{
    QByteArray text = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Example Corp//Calendar Export 4.2//EN\n"
                      "CALSCALE:GREGORIAN\nMETHOD:PUBLISH\n" +
                      kSeoul + body + "END:VCALENDAR\n";
    return text.replace("\n", "\r\n");
}

// One event whose description is a single unfolded line of `bytes`.
QByteArray withLongLine(qsizetype bytes)
{
    return "BEGIN:VEVENT\nUID:review-0105@example.com\nDTSTART;TZID=Asia/Seoul:20260105T160000\n"
           "DTEND;TZID=Asia/Seoul:20260105T170000\nSUMMARY:Review\nDESCRIPTION:" +
           QByteArray(bytes, 'x') + "\nEND:VEVENT\n";
}

}  // namespace

namespace ExportedCalendars {

QDateTime now()
{
    return QDateTime(QDate(2026, 1, 5), QTime(9, 0));
}

QList<File> all()
{
    static const QList<File> files = {
        // The series first: every event after it must be listed too.
        {"daily-first.ics",
         calendar("BEGIN:VEVENT\nUID:standup@example.com\nDTSTAMP:20251120T080000Z\n"
                  "DTSTART;TZID=Asia/Seoul:20251201T093000\nDTEND;TZID=Asia/Seoul:20251201T094500\n"
                  "RRULE:FREQ=DAILY\nSUMMARY:Standup\nEND:VEVENT\n" +
                  kDentist + kFlight),
         "2026-01-07T08:00"},
        // Monday, Wednesday and Friday; Wednesday's moved by an override, Friday's taken out.
        {"weekly-middle.ics",
         calendar(kDentist +
                  "BEGIN:VEVENT\nUID:sync@example.com\nDTSTAMP:20251020T080000Z\n"
                  "DTSTART;TZID=Asia/Seoul:20251103T110000\nDTEND;TZID=Asia/Seoul:20251103T113000\n"
                  "RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR\nEXDATE;TZID=Asia/Seoul:20260109T110000\n"
                  "SUMMARY:Team sync\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:sync@example.com\nDTSTAMP:20251230T080000Z\n"
                  "RECURRENCE-ID;TZID=Asia/Seoul:20260107T110000\n"
                  "DTSTART;TZID=Asia/Seoul:20260107T130000\nDTEND;TZID=Asia/Seoul:20260107T133000\n"
                  "SUMMARY:Team sync (moved)\nEND:VEVENT\n" +
                  kFlight),
         "2026-01-07T08:00"},
        // An all-day holiday, and last a series in floating (local) time.
        {"weekly-last.ics",
         calendar(kDentist + kFlight +
                  "BEGIN:VEVENT\nUID:holiday-0106@example.com\nDTSTART;VALUE=DATE:20260106\n"
                  "DTEND;VALUE=DATE:20260107\nSUMMARY:Holiday\nTRANSP:TRANSPARENT\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:gym@example.com\nDTSTART:20251202T190000\nDTEND:20251202T200000\n"
                  "RRULE:FREQ=WEEKLY;BYDAY=TU,TH\nSUMMARY:Gym\nEND:VEVENT\n"),
         "2026-01-07T08:00"},
        // Two rules, an extra date and an excluded one in one event.
        {"several-rules.ics",
         calendar("BEGIN:VEVENT\nUID:class@example.com\nDTSTART;TZID=Asia/Seoul:20251201T100000\n"
                  "DTEND;TZID=Asia/Seoul:20251201T113000\nRRULE:FREQ=WEEKLY;BYDAY=MO\n"
                  "RRULE:FREQ=WEEKLY;BYDAY=TH\nRDATE;TZID=Asia/Seoul:20260110T150000\n"
                  "EXDATE;TZID=Asia/Seoul:20260108T100000\nSUMMARY:Class\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:dinner-0109@example.com\nDTSTART;TZID=Asia/Seoul:20260109T190000\n"
                  "DTEND;TZID=Asia/Seoul:20260109T210000\nSUMMARY:Dinner\nEND:VEVENT\n"),
         "2026-01-09T19:00"},
        // A reminder every minute for a year, of no length.
        {"minutely.ics",
         calendar("BEGIN:VEVENT\nUID:ping@example.com\nDTSTART:20250101T000000Z\n"
                  "RRULE:FREQ=MINUTELY\nSUMMARY:Ping\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        {"secondly.ics",
         calendar("BEGIN:VEVENT\nUID:tick@example.com\nDTSTART;TZID=Asia/Seoul:20250601T000000\n"
                  "DTEND;TZID=Asia/Seoul:20250601T000001\nRRULE:FREQ=SECONDLY\nSUMMARY:Tick\n"
                  "END:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // Every second of 29 February: legal, and libical searches years for the next one.
        {"leap-seconds.ics",
         calendar("BEGIN:VEVENT\nUID:leap@example.com\nDTSTART:20240229T000000Z\n"
                  "RRULE:FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=29\nSUMMARY:Leap\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        {"long-line.ics", calendar(withLongLine(1 << 20) + kLunch), kLunchStart},
        {"huge-line.ics", calendar(withLongLine(16 << 20) + kLunch), kLunchStart},
    };
    return files;
}

File named(const QString& name)
{
    for (const File& file : all())
        if (file.name == name)
            return file;
    return {};
}

File manySeries(int count)
{
    QByteArray body;
    for (int i = 0; i < count; ++i) {
        // Weekly from the week before, at one of the 84 hours from 08:00 to 19:00 of a day.
        const QDateTime start = now().addDays(i % 7 - 7).addSecs((i / 7 % 12 - 1) * 3600);
        const QByteArray uid = "series-" + QByteArray::number(i) + "@example.com";
        const auto local = [](const QDateTime& at) { return at.toString("yyyyMMdd'T'HHmmss").toLatin1(); };
        body += "BEGIN:VEVENT\nUID:" + uid + "\nDTSTART;TZID=Asia/Seoul:" + local(start) +
                "\nDTEND;TZID=Asia/Seoul:" + local(start.addSecs(1800)) + "\nRRULE:FREQ=WEEKLY\nSUMMARY:Series " +
                QByteArray::number(i) + "\nEND:VEVENT\n";
        if (i % 10 == 0)
            body += "BEGIN:VEVENT\nUID:" + uid + "\nRECURRENCE-ID;TZID=Asia/Seoul:" + local(start.addDays(7)) +
                    "\nDTSTART;TZID=Asia/Seoul:" + local(start.addDays(7).addSecs(900)) +
                    "\nDTEND;TZID=Asia/Seoul:" + local(start.addDays(7).addSecs(2700)) + "\nSUMMARY:Series " +
                    QByteArray::number(i) + " (moved)\nEND:VEVENT\n";
    }
    return {QStringLiteral("many-series-%1.ics").arg(count), calendar(body)};
}

bool write(const QString& folder, const File& file)
{
    return FileIO::ensureDirectory(folder) && FileIO::writeAtomically(folder + QLatin1Char('/') + file.name, file.text);
}

}  // namespace ExportedCalendars
