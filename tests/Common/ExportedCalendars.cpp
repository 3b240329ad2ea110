#include "Common/ExportedCalendars.h"

#include "Support/FileIO.h"

#include <algorithm>

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
// A zone defined by the file under a name that is no IANA id, which Qt would read as UTC.
const QByteArray kEastern = "BEGIN:VTIMEZONE\nTZID:Eastern\nBEGIN:STANDARD\nDTSTART:19671029T020000\n"
                            "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
                            "END:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:19870405T020000\n"
                            "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
                            "END:DAYLIGHT\nEND:VTIMEZONE\n";
const QByteArray kByteOrderMark = "\xEF\xBB\xBF";

// `count` copies of `text`, each with "%1" replaced by its number.
QByteArray repeated(int count, const char* text)
{
    QByteArray all;
    for (int i = 1; i <= count; ++i)
        all += QByteArray(text).replace("%1", QByteArray::number(i));
    return all;
}

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
        // Rules on a day that never comes: libical looks for it month by month, or period by
        // period, for thousands of years.
        {"never-monthly.ics",
         calendar("BEGIN:VEVENT\nUID:payday@example.com\nDTSTART;TZID=Asia/Seoul:20250130T090000\n" +
                  repeated(100, "RRULE:FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30\n") + "SUMMARY:Payday\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        {"never-since-year-one.ics",
         calendar(repeated(5, "BEGIN:VEVENT\nUID:ancient-%1@example.com\nDTSTART:00010101T090000\n"
                              "RRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\nSUMMARY:Ancient %1\nEND:VEVENT\n") +
                  kLunch),
         kLunchStart},
        {"ending-1901.ics",
         calendar(repeated(100, "BEGIN:VEVENT\nUID:old-%1@example.com\nDTSTART:18010101T090000\n"
                                "RRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30;UNTIL=19011231T090000\n"
                                "SUMMARY:Old %1\nEND:VEVENT\n") +
                  kLunch),
         kLunchStart},
        // A contact card saved under a calendar's name.
        {"not-a-calendar.ics", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Kim Minji\r\nTEL:+82-2-555-0100\r\nEND:VCARD\r\n"},
        {"long-line.ics", calendar(withLongLine(1 << 20) + kLunch), kLunchStart},
        {"huge-line.ics", calendar(withLongLine(16 << 20) + kLunch), kLunchStart},
        // Written on Windows: a byte-order mark first, with CRLF or LF line ends.
        {"bom-crlf.ics", kByteOrderMark + calendar(kDentist + kLunch), kLunchStart},
        {"bom-lf.ics", kByteOrderMark + calendar(kDentist + kLunch).replace("\r\n", "\n"), kLunchStart},
        // Old Mac line ends, a CR alone, with a folded line.
        {"cr-only.ics",
         calendar(kDentist + QByteArray(kLunch).replace("SUMMARY:Lunch", "SUMMARY:Lun\n ch")).replace("\r\n", "\r"),
         kLunchStart},
        // Written by hand: one misspelt or wrong END or BEGIN line before good events.
        {"misspelt-end.ics", calendar(QByteArray(kFlight).replace("END:VEVENT", "END:VEVNT") + kDentist + kLunch),
         kLunchStart},
        {"ended-by-vtodo.ics", calendar(QByteArray(kFlight).replace("END:VEVENT", "END:VTODO") + kDentist + kLunch),
         kLunchStart},
        {"misspelt-begin.ics", calendar(QByteArray(kFlight).replace("BEGIN:VEVENT", "BEGIN:VEVNT") + kDentist + kLunch),
         kLunchStart},
        // The Monday and Wednesday of the second week of each year.
        {"week-number.ics",
         calendar("BEGIN:VEVENT\nUID:planning@example.com\nDTSTART;TZID=Asia/Seoul:20250106T100000\n"
                  "DTEND;TZID=Asia/Seoul:20250106T110000\nRRULE:FREQ=YEARLY;BYWEEKNO=2;BYDAY=MO,WE\n"
                  "SUMMARY:Planning\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // Zones: defined by the file under a name that is no IANA id; a Windows name whose
        // definition's TZID has a stray colon; an IANA id behind a vendor's prefix.
        {"eastern.ics",
         calendar(kEastern +
                  "BEGIN:VEVENT\nUID:boston@example.com\nDTSTART;TZID=Eastern:20260104T210000\n"
                  "DTEND;TZID=Eastern:20260104T220000\nSUMMARY:Call with Boston\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:standup-east@example.com\nDTSTART;TZID=Eastern:20260104T200000\n"
                  "DTEND;TZID=Eastern:20260104T201500\nRRULE:FREQ=DAILY;COUNT=3\nSUMMARY:East standup\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        {"vendor-zones.ics",
         calendar("BEGIN:VTIMEZONE\nTZID:Pacific Standard Time:\nBEGIN:STANDARD\nDTSTART:16010101T020000\n"
                  "TZOFFSETFROM:-0700\nTZOFFSETTO:-0800\nRRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\nEND:STANDARD\n"
                  "END:VTIMEZONE\nBEGIN:VEVENT\nUID:design@example.com\n"
                  "DTSTART;TZID=Pacific Standard Time:20260104T170000\n"
                  "DTEND;TZID=Pacific Standard Time:20260104T180000\nSUMMARY:Design review\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:home@example.com\n"
                  "DTSTART;TZID=/mozilla.org/20070129_1/America/New_York:20260105T053000\n"
                  "DTEND;TZID=/mozilla.org/20070129_1/America/New_York:20260105T063000\nSUMMARY:Call home\n"
                  "END:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // A zone nothing knows: read as local time, and the file named.
        {"unknown-zone.ics",
         calendar("BEGIN:VEVENT\nUID:mars@example.com\nDTSTART;TZID=Olympus Mons Time:20260105T150000\n"
                  "DTEND;TZID=Olympus Mons Time:20260105T160000\nSUMMARY:Rover check\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // A server's invitation to one occurrence of a meeting whose series is elsewhere.
        {"invitation.ics",
         calendar("BEGIN:VEVENT\nUID:board@example.com\nSEQUENCE:2\nRECURRENCE-ID;TZID=Asia/Seoul:20260107T100000\n"
                  "DTSTART;TZID=Asia/Seoul:20260107T110000\nDTEND;TZID=Asia/Seoul:20260107T120000\n"
                  "ORGANIZER;CN=Board:mailto:board@example.com\nSUMMARY:Board meeting\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // Written by an older exporter: no UIDs.
        {"no-uid.ics",
         calendar("BEGIN:VEVENT\nDTSTART;TZID=Asia/Seoul:20260105T100000\nDTEND;TZID=Asia/Seoul:20260105T110000\n"
                  "RRULE:FREQ=WEEKLY;BYDAY=MO,WE\nSUMMARY:Yoga\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nDTSTART;TZID=Asia/Seoul:20260105T170000\nDTEND;TZID=Asia/Seoul:20260105T180000\n"
                  "SUMMARY:Haircut\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // An empty UID, read as none.
        {"empty-uid.ics",
         calendar("BEGIN:VEVENT\nUID:\nDTSTART;TZID=Asia/Seoul:20260105T170000\nDTEND;TZID=Asia/Seoul:20260105T180000\n"
                  "SUMMARY:Haircut\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // A UID line folded with a TAB.
        {"tab-folded-uid.ics",
         calendar(QByteArray(kDentist).replace("UID:dentist-0105@", "UID:dentist-0105@\n\t") + kLunch), kLunchStart},
        // An edit that left the old copy (the newer first), and one occurrence overridden twice.
        {"edited-twice.ics",
         calendar("BEGIN:VEVENT\nUID:pitch@example.com\nSEQUENCE:1\nDTSTART;TZID=Asia/Seoul:20260105T150000\n"
                  "DTEND;TZID=Asia/Seoul:20260105T160000\nSUMMARY:Pitch (moved)\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:pitch@example.com\nSEQUENCE:0\nDTSTART;TZID=Asia/Seoul:20260105T100000\n"
                  "DTEND;TZID=Asia/Seoul:20260105T110000\nSUMMARY:Pitch\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:retro@example.com\nDTSTART;TZID=Asia/Seoul:20260105T160000\n"
                  "DTEND;TZID=Asia/Seoul:20260105T163000\nRRULE:FREQ=DAILY;COUNT=3\nSUMMARY:Retro\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:retro@example.com\nSEQUENCE:2\nRECURRENCE-ID;TZID=Asia/Seoul:20260106T160000\n"
                  "DTSTART;TZID=Asia/Seoul:20260106T170000\nDTEND;TZID=Asia/Seoul:20260106T173000\n"
                  "SUMMARY:Retro (late)\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:retro@example.com\nSEQUENCE:1\nRECURRENCE-ID;TZID=Asia/Seoul:20260106T160000\n"
                  "DTSTART;TZID=Asia/Seoul:20260106T180000\nDTEND;TZID=Asia/Seoul:20260106T183000\n"
                  "SUMMARY:Retro (later)\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // A trip of days, one of them overridden through a RECURRENCE-ID written as a UTC
        // date-time, and a call taken out by an EXDATE of its only occurrence.
        {"all-day.ics",
         calendar("BEGIN:VEVENT\nUID:trip@example.com\nDTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260106\n"
                  "RRULE:FREQ=DAILY;COUNT=5\nSUMMARY:Trip\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:trip@example.com\nRECURRENCE-ID:20260107T000000Z\n"
                  "DTSTART;VALUE=DATE:20260107\nDTEND;VALUE=DATE:20260108\nSUMMARY:Trip (Busan)\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:cancelled@example.com\nDTSTART;TZID=Asia/Seoul:20260105T160000\n"
                  "DTEND;TZID=Asia/Seoul:20260105T170000\nEXDATE;TZID=Asia/Seoul:20260105T160000\n"
                  "SUMMARY:Cancelled call\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // A vendor's blocks libical reads but never writes: in the calendar and in an event.
        {"vendor-blocks.ics",
         calendar("BEGIN:X-VENDOR-DATA\nX-VENDOR-SYNC:42\nEND:X-VENDOR-DATA\n" +
                  QByteArray(kDentist).replace("END:VEVENT", "BEGIN:X-NOTE\nX-TEXT:bring the x-ray\nEND:X-NOTE\n"
                                                             "END:VEVENT") +
                  kLunch),
         kLunchStart},
        // BEGIN and END lines padded with blanks past 256 bytes.
        {"padded.ics",
         calendar(QByteArray(kDentist)
                      .replace("BEGIN:VEVENT", "BEGIN:VEVENT" + QByteArray(300, ' '))
                      .replace("END:VEVENT", "END:VEVENT" + QByteArray(300, ' ')) +
                  kLunch),
         kLunchStart},
        // Cut right after an event's END line: no line end, no END of the calendar.
        {"cut-short.ics", calendar(kDentist + kLunch).chopped(int(qstrlen("\r\nEND:VCALENDAR\r\n"))), kLunchStart},
        // A NUL byte in the flight's description.
        {"nul-byte.ics",
         calendar(QByteArray(kFlight).replace("Seat 14C", QByteArray("Seat\0 14C", 9)) + kDentist + kLunch),
         kLunchStart},
        // An event without a start.
        {"no-start.ics",
         calendar("BEGIN:VEVENT\nUID:nostart@example.com\nSUMMARY:When?\nEND:VEVENT\n" + kDentist + kLunch),
         kLunchStart},
        // Two series of one title, both repeating too often.
        {"two-pings.ics",
         calendar("BEGIN:VEVENT\nUID:ping-a@example.com\nDTSTART:20250101T000000Z\nRRULE:FREQ=MINUTELY\n"
                  "SUMMARY:Ping\nEND:VEVENT\nBEGIN:VEVENT\nUID:ping-b@example.com\nDTSTART:20250101T000030Z\n"
                  "RRULE:FREQ=MINUTELY\nSUMMARY:Ping\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // One rule from three starts: every other month from December never holds a January,
        // from November or March it does.
        {"three-starts.ics",
         calendar("BEGIN:VEVENT\nUID:dues-even@example.com\nDTSTART;TZID=Asia/Seoul:20251205T100000\n"
                  "RRULE:FREQ=MONTHLY;INTERVAL=2;BYMONTH=1;BYMONTHDAY=5\nSUMMARY:Dues (even)\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:dues-odd@example.com\nDTSTART;TZID=Asia/Seoul:20251105T100000\n"
                  "RRULE:FREQ=MONTHLY;INTERVAL=2;BYMONTH=1;BYMONTHDAY=5\nSUMMARY:Dues (odd)\nEND:VEVENT\n"
                  "BEGIN:VEVENT\nUID:dues-march@example.com\nDTSTART;TZID=Asia/Seoul:20250305T100000\n"
                  "RRULE:FREQ=MONTHLY;INTERVAL=2;BYMONTH=1;BYMONTHDAY=5\nSUMMARY:Dues (March)\nEND:VEVENT\n" +
                  kLunch),
         kLunchStart},
        // An event holding a hundred thousand components, each inside the one before.
        {"deep.ics",
         calendar("BEGIN:VEVENT\nUID:deep@example.com\nDTSTART:20260105T000000Z\nSUMMARY:Deep\n" +
                  QByteArray("BEGIN:X-DEEP\n").repeated(100000) + QByteArray("END:X-DEEP\n").repeated(100000) +
                  "END:VEVENT\n" + kLunch),
         kLunchStart},
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

File largeExport(qint64 bytes)
{
    const QByteArray review = "BEGIN:VEVENT\nUID:review-q1@example.com\nDTSTAMP:20251220T101500Z\n"
                              "DTSTART;TZID=Asia/Seoul:20260105T160000\nDTEND;TZID=Asia/Seoul:20260105T170000\n"
                              "SUMMARY:Quarterly review\nLOCATION:Board room\nEND:VEVENT\n";
    QByteArray body = kDentist;
    // Spread over the years before last week, each of about 400 bytes.
    const QDateTime first(QDate(2000, 1, 3), QTime(9, 0));
    const qint64 apart = first.secsTo(now().addDays(-7)) / std::max<qint64>(1, bytes / 350);
    for (int i = 0; body.size() < bytes - 2048; ++i) {
        const QDateTime start = first.addSecs(i * apart);
        const auto local = [](const QDateTime& at) { return at.toString("yyyyMMdd'T'HHmmss").toLatin1(); };
        const QByteArray n = QByteArray::number(i);
        body += "BEGIN:VEVENT\nUID:past-" + n +
                "@example.com\nDTSTAMP:20251220T101500Z\nCREATED:19991201T080000Z\n"
                "DTSTART;TZID=Asia/Seoul:" +
                local(start) + "\nDTEND;TZID=Asia/Seoul:" + local(start.addSecs(3600)) + "\nSUMMARY:Meeting " + n +
                "\nLOCATION:Room " + QByteArray::number(i % 40) +
                "\\, Building B\nDESCRIPTION:Agenda\\, notes and follow-ups of meeting " + n +
                " as the team wrote them down.\nSTATUS:CONFIRMED\nSEQUENCE:0\nTRANSP:OPAQUE\n" +
                (i % 500 == 0 ? "RRULE:FREQ=WEEKLY;COUNT=10\n" : "") + "END:VEVENT\n";
    }
    return {QStringLiteral("export-%1MiB.ics").arg(bytes >> 20), calendar(body + review), "2026-01-05T16:00"};
}

File seriesExport(qint64 bytes)
{
    const auto local = [](const QDateTime& at) { return at.toString("yyyyMMdd'T'HHmmss").toLatin1(); };
    QByteArray series, overrides;
    const QDateTime first(QDate(2000, 1, 3), QTime(9, 0));
    // Each course over before the last half year.
    const qint64 span = first.secsTo(now().addDays(-183));
    const qint64 apart = span / std::max<qint64>(1, bytes / 700);
    for (int i = 0; series.size() + overrides.size() < bytes - 2048; ++i) {
        const QDateTime start = first.addSecs(i * apart % span);
        const QDateTime moved = start.addDays(7);
        const QByteArray n = QByteArray::number(i);
        const QByteArray uid = "UID:weekly-" + n + "@example.com\nDTSTAMP:20251220T101500Z\n";
        series += "BEGIN:VEVENT\n" + uid + "DTSTART;TZID=Asia/Seoul:" + local(start) +
                  "\nDTEND;TZID=Asia/Seoul:" + local(start.addSecs(3600)) + "\nRRULE:FREQ=WEEKLY;COUNT=12\n" +
                  "SUMMARY:Course " + n + "\nLOCATION:Room " + QByteArray::number(i % 40) +
                  "\nDESCRIPTION:Twelve weeks of course " + n + " as the school planned them.\nEND:VEVENT\n";
        overrides += "BEGIN:VEVENT\n" + uid + "RECURRENCE-ID;TZID=Asia/Seoul:" + local(moved) +
                     "\nDTSTART;TZID=Asia/Seoul:" + local(moved.addSecs(1800)) +
                     "\nDTEND;TZID=Asia/Seoul:" + local(moved.addSecs(5400)) + "\nSUMMARY:Course " + n +
                     " (moved)\nEND:VEVENT\n";
    }
    // The overrides come after all the series, as some programs write them.
    return {QStringLiteral("series-%1MiB.ics").arg(bytes >> 20), calendar(kDentist + series + overrides + kLunch),
            kLunchStart};
}

File deepNesting(qint64 bytes)
{
    const int depth = int(bytes / 27);
    return {QStringLiteral("deep-%1KiB.ics").arg(bytes >> 10),
            calendar("BEGIN:VEVENT\nUID:nest@example.com\nDTSTART:20260105T000000Z\n" +
                     QByteArray("BEGIN:X-NEST\n").repeated(depth) + QByteArray("END:X-NEVER\n").repeated(depth) +
                     "END:VEVENT\n" + kLunch),
            kLunchStart};
}

File neverFalling(int count)
{
    QByteArray body;
    for (int i = 0; i < count; ++i)
        body += "BEGIN:VEVENT\nUID:never-" + QByteArray::number(i) +
                "@example.com\nDTSTART:" + QByteArray::number(1000 + i % 1000).rightJustified(4, '0') +
                "0131T090000\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31;BYDAY=2MO\nSUMMARY:Never " + QByteArray::number(i) +
                "\nEND:VEVENT\n";
    return {QStringLiteral("never-%1.ics").arg(count), calendar(body + kLunch), kLunchStart};
}

File costlyRules(int count)
{
    QByteArray hours;
    for (int hour = 0; hour < 24; ++hour)
        hours += (hour ? "," : "") + QByteArray::number(hour);
    QByteArray body;
    for (int i = 0; i < count; ++i)
        body += "BEGIN:VEVENT\nUID:tick-" + QByteArray::number(i) +
                "@example.com\nDTSTART;VALUE=DATE:19700101\n"
                "RRULE:FREQ=SECONDLY;COUNT=2000000000;BYHOUR=" +
                hours + "\nSUMMARY:Tick " + QByteArray::number(i) + "\nEND:VEVENT\n";
    return {QStringLiteral("costly-%1.ics").arg(count), calendar(body + kLunch), kLunchStart};
}

File busySeries(int count)
{
    QByteArray body;
    for (int i = 0; i < count; ++i)
        body += "BEGIN:VEVENT\nUID:busy-" + QByteArray::number(i) +
                "@example.com\nDTSTART;TZID=Asia/Seoul:20251201T00" + QByteArray::number(i).rightJustified(2, '0') +
                "00\nDURATION:PT10M\nRRULE:FREQ=MINUTELY;INTERVAL=15\nSUMMARY:Desk " + QByteArray::number(i) +
                "\nEND:VEVENT\n";
    return {QStringLiteral("busy-%1.ics").arg(count), calendar(body)};
}

bool write(const QString& folder, const File& file)
{
    return FileIO::ensureDirectory(folder) && FileIO::writeAtomically(folder + QLatin1Char('/') + file.name, file.text);
}

}  // namespace ExportedCalendars
