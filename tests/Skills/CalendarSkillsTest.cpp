#include "Skills/CalendarCall.h"
#include "Skills/CalendarCreateEventSkill.h"
#include "Skills/CalendarDeleteEventSkill.h"
#include "Skills/CalendarListTodaySkill.h"
#include "Skills/CalendarListWeekSkill.h"
#include "Skills/CalendarUpdateEventSkill.h"

#include "Common/CalendarBytes.h"
#include "Common/ExportedCalendars.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Common/WithoutReadOverride.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "SkillTestKit.h"
#include "Skills/SkillWorker.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>

#include <libical/ical.h>

#include <iostream>

#include <sys/stat.h>

namespace {
const QString kNotFound = QStringLiteral("error 404: 이벤트를 찾을 수 없어요. 먼저 calendar.list_today 또는 "
                                         "calendar.list_week 로 일정을 조회한 뒤 id 를 사용하거나, original_start "
                                         "(기존 시작 시각) 를 지정해 주세요.");

QDateTime at(int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute));
}

QString notUnderstood(const char* text)
{
    return QStringLiteral("시간 '%1' 을(를) 이해하지 못해서 캘린더를 바꾸지 않았어요. 예: 2026-05-12T17:00").arg(text);
}

// "Now" is Monday 5 January 2026, 09:00 in Seoul.
class CalendarSkills : public ::testing::Test {
protected:
    void add(const char* id, const char* title, const QDateTime& start, int minutes, const char* where = "")
    {
        ASSERT_TRUE(store.add({id, start, start.addSecs(minutes * 60), title, where, "notes"}, nullptr));
    }
    // Every event of the weeks around "now".
    QList<CalendarEvent> events()
    {
        const auto listing = store.events(at(1, 1, 0), at(1, 15, 0), nullptr);
        return listing ? listing->events : QList<CalendarEvent>();
    }
    QStringList files() const { return QDir(IcalCalendarStore::defaultFolder()).entryList(QDir::Files); }
    void clear() { QDir(IcalCalendarStore::defaultFolder()).removeRecursively(); }

    ScopedTimeZone zone{"Asia/Seoul"};
    ScopedDataRoot root;
    FakeScheduler clock{at(1, 5, 9)};
    IcalCalendarStore store;
    std::shared_ptr<SkillWorker> worker = std::make_shared<SkillWorker>("app.parlivox.calendar");
    CalendarListTodaySkill today{store, clock, worker};
    CalendarListWeekSkill week{store, clock, worker};
    CalendarCreateEventSkill create{store, clock, worker};
    CalendarUpdateEventSkill update{store, clock, worker};
    CalendarDeleteEventSkill removal{store, clock, worker};
};
}  // namespace

TEST(CalendarDates, ReadsEveryFormatInLocalTimeAndTheCurrentYear)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QDateTime five = at(5, 12, 17);
    const struct {
        const char* text;
        int year;
        QDateTime expected;
    } cases[] = {{"2026-05-12T17:00:00.250+09:00", 2026, five.addMSecs(250)},
                 {"2026-05-12T08:00:00Z", 2026, five},
                 {"2026-05-12T17:00:00", 2026, five},
                 {"2026-05-12T17:00", 2026, five},
                 {"2026-05-12 17:00", 2026, five},
                 {"2026-05-12", 2026, at(5, 12, 0)},
                 {"05/12 17:00", 2026, five},
                 {"5월 12일 17:00", 2026, five},
                 {"02/29 09:00", 2028, QDateTime(QDate(2028, 2, 29), QTime(9, 0))},
                 {"02/29 09:00", 2026, {}},
                 {"", 2026, {}},
                 {"내일 다섯 시", 2026, {}},
                 {"17:00", 2026, {}},
                 {"2026-13-01T10:00", 2026, {}}};
    for (const auto& c : cases) {
        const auto parsed = CalendarCall::parseDate(QString::fromUtf8(c.text), c.year);
        EXPECT_EQ(parsed.value_or(QDateTime()), c.expected) << c.text;
        EXPECT_TRUE(!parsed || parsed->timeSpec() == Qt::LocalTime) << c.text;
    }
}

TEST_F(CalendarSkills, ListsTodayInFullAndTheWeekUpToEightLines)
{
    EXPECT_EQ(answerOf(today), QStringLiteral("오늘 일정은 없어요."));
    EXPECT_EQ(answerOf(week), QStringLiteral("이번 주는 일정이 없네요."));
    add("a", "Standup", at(1, 5, 10), 30, "Room 1");
    add("b", "", at(1, 5, 13), 60);
    add("c", "Late", at(1, 5, 23, 30), 60);
    add("old", "Yesterday", at(1, 4, 8), 60);
    for (int day = 6; day <= 14; ++day)  // one a day; the 12th at 08:00 is the last inside the week
        add(qPrintable(QStringLiteral("d%1").arg(day)), qPrintable(QStringLiteral("Day %1").arg(day)), at(1, day, 8),
            60);

    EXPECT_EQ(answerOf(today), QStringLiteral("오늘 일정 3건. 1월 5일 10:00 — Standup @ Room 1; "
                                              "1월 5일 13:00 — (제목 없음); 1월 5일 23:30 — Late"));
    const QString listed = answerOf(week);
    EXPECT_TRUE(listed.startsWith(QStringLiteral("이번 주 일정 10건. 1월 5일 10:00 — Standup @ Room 1; ")));
    EXPECT_TRUE(listed.endsWith(QStringLiteral("; 1월 10일 08:00 — Day 10")));
    EXPECT_EQ(listed.count(QStringLiteral("; ")), 7);
}

TEST_F(CalendarSkills, CreatesEventsThatAnotherReaderSeesWithTheirZone)
{
    const struct {
        SkillArgs args;
        QString answer;
        QDateTime start, end;  // invalid: nothing is created
    } cases[] = {
        {{}, "캘린더에 'Parlivox 일정' 추가했어요.", at(1, 5, 10), at(1, 5, 11)},
        {{{"title", "치과"}, {"start", "2026-01-07T15:00:00"}, {"location", "강남"}, {"notes", "검진"}},
         "캘린더에 '치과' 추가했어요.",
         at(1, 7, 15),
         at(1, 7, 16)},
        {{{"title", ""}, {"start", "01/08 09:30"}, {"end", "2026-01-08T01:00:00Z"}},
         "캘린더에 '' 추가했어요.",
         at(1, 8, 9, 30),
         at(1, 8, 10)},
        {{{"start", "다음 주"}}, notUnderstood("다음 주"), {}, {}},
        {{{"start", "2026-01-07T15:00"}, {"end", "tomorrow"}}, notUnderstood("tomorrow"), {}, {}},
        {{{"start", "2026-01-07T15:00"}, {"end", "2026-01-07T14:00"}},
         "끝나는 시각이 시작 시각보다 앞서서 일정을 만들지 않았어요.",
         {},
         {}},
    };
    for (const auto& c : cases) {
        clear();
        EXPECT_EQ(answerOf(create, c.args), c.answer);
        const QStringList written = files();
        ASSERT_EQ(written.size(), c.start.isValid() ? 1 : 0) << c.answer.toStdString();
        if (written.isEmpty())
            continue;
        // Read back by libical itself, not through the store.
        const auto data = FileIO::readAll(IcalCalendarStore::defaultFolder() + '/' + written.first());
        icalcomponent* calendar = icalparser_parse_string(data->constData());
        icalcomponent* vevent = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
        ASSERT_NE(vevent, nullptr);
        EXPECT_EQ(QString::fromUtf8(icalcomponent_get_uid(vevent)) + ".ics", written.first());
        EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(vevent)), c.args.value("title", "Parlivox 일정"));
        EXPECT_EQ(QString::fromUtf8(icalcomponent_get_location(vevent)), c.args.value("location"));
        EXPECT_EQ(QString::fromUtf8(icalcomponent_get_description(vevent)), c.args.value("notes"));
        icalproperty* start = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
        EXPECT_STREQ(icalparameter_get_tzid(icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER)),
                     "Asia/Seoul");
        const auto instant = [](icaltimetype t) {
            return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone));
        };
        EXPECT_EQ(instant(icalcomponent_get_dtstart(vevent)), c.start);
        EXPECT_EQ(instant(icalcomponent_get_dtend(vevent)), c.end);
        icalcomponent_free(calendar);
    }
}

TEST_F(CalendarSkills, UpdatesTheEventMeantAndKeepsWhatIsNotGiven)
{
    const struct {
        SkillArgs args;
        QString answer;
        const char* id;  // the event that changes, to these values
        QDateTime start = {}, end = {};
        const char* location = "";
        const char* written = nullptr;  // what its file then holds, when given
        const char* zone = "Asia/Seoul";
    } cases[] = {
        {{{"original_start", "2026-01-05T10:00"}, {"start", "2026-01-05T15:00"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 15),
         at(1, 5, 16),
         "Room 1"},
        // A new start alone keeps the end while it is still after the start.
        {{{"original_start", "2026-01-05T10:00"}, {"start", "2026-01-05T10:30"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 10, 30),
         at(1, 5, 11),
         "Room 1"},
        {{{"original_start", "2026-01-05T10:00"}, {"start", "2026-01-05T09:00"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 9),
         at(1, 5, 11),
         "Room 1"},
        {{{"original_start", "2026-01-05T10:20"}, {"end", "2026-01-05T09:00"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 10),
         at(1, 5, 11),
         "Room 1"},
        // The manifest's empty values wipe nothing.
        {{{"id", "a"}, {"title", ""}, {"location", ""}, {"notes", ""}, {"start", ""}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 10),
         at(1, 5, 11),
         "Room 1"},
        // A stale id falls back to the nearest start: 17:05 rather than 16:50.
        {{{"id", "stale"}, {"original_start", "01/05 17:00"}, {"location", "Hall"}},
         "일정 'Sync' 수정했어요.",
         "s",
         at(1, 5, 17, 5),
         at(1, 5, 18, 5),
         "Hall"},
        // Exactly 30 minutes away still finds it, before or after.
        {{{"original_start", "2026-01-05T10:30"}, {"location", "Hall"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 10),
         at(1, 5, 11),
         "Hall"},
        {{{"original_start", "2026-01-05T09:30"}, {"location", "Hall"}},
         "일정 'Standup' 수정했어요.",
         "a",
         at(1, 5, 10),
         at(1, 5, 11),
         "Hall"},
        // The new start never finds the event, nor does a start more than 30 minutes away.
        {{{"start", "2026-01-05T10:00"}}, kNotFound, ""},
        {{{"original_start", "2026-01-05T10:31"}}, kNotFound, ""},
        {{{"original_start", "2026-01-05T10:00"}, {"start", "3시쯤"}}, notUnderstood("3시쯤"), ""},
        // A change of anything but its times leaves them as they are, even without length.
        {{{"id", "z"}, {"location", "Hall"}}, "일정 'Reminder' 수정했어요.", "z", at(1, 5, 20), at(1, 5, 20), "Hall"},
        // Moved to start where it ended: past its end, so it keeps its length.
        {{{"original_start", "2026-01-06T10:00"}, {"start", "2026-01-06T12:00"}},
         "일정 'Lecture' 수정했어요.",
         "l",
         at(1, 6, 12),
         at(1, 6, 14)},
        // Days stay days, as many as it had, across the clocks going back too.
        {{{"original_start", "2026-01-07"}, {"start", "2026-01-08"}},
         "일정 'Holiday' 수정했어요.",
         "holiday",
         at(1, 8, 0),
         at(1, 9, 0),
         "",
         "DTSTART;VALUE=DATE:20260108\r\nDTEND;VALUE=DATE:20260109\r\n"},
        {{{"original_start", "2026-10-22"}, {"start", "2026-10-24"}},
         "일정 'Autumn break' 수정했어요.",
         "autumn",
         QDateTime(QDate(2026, 10, 24), QTime(0, 0), QTimeZone("Europe/Berlin")),
         QDateTime(QDate(2026, 10, 26), QTime(0, 0), QTimeZone("Europe/Berlin")),
         "",
         "DTSTART;VALUE=DATE:20261024\r\nDTEND;VALUE=DATE:20261026\r\n",
         "Europe/Berlin"},
    };
    const auto byId = [](QList<CalendarEvent> list) {
        std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.id < b.id; });
        return list;
    };
    // Every event of the year.
    const auto listed = [&] {
        const auto listing = store.events(at(1, 1, 0), QDateTime(QDate(2027, 1, 1), QTime()), nullptr);
        return byId(listing ? listing->events : QList<CalendarEvent>());
    };
    const QString folder = IcalCalendarStore::defaultFolder();
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringList(c.args.values()).join(", ").toStdString());
        const ScopedTimeZone rowZone(c.zone);
        clear();
        add("a", "Standup", at(1, 5, 10), 60, "Room 1");
        add("r", "Review", at(1, 5, 16, 50), 60);
        add("s", "Sync", at(1, 5, 17, 5), 60);
        add("z", "Reminder", at(1, 5, 20), 0);
        add("l", "Lecture", at(1, 6, 10), 120);
        for (const auto& [name, days] : {std::pair("holiday", "Holiday\r\nDTSTART;VALUE=DATE:20260107\r\n"
                                                              "DTEND;VALUE=DATE:20260108"),
                                         std::pair("autumn", "Autumn break\r\nDTSTART;VALUE=DATE:20261022\r\n"
                                                             "DTEND;VALUE=DATE:20261024")})
            ASSERT_TRUE(FileIO::writeAtomically(folder + '/' + name + ".ics",
                                                QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:") +
                                                    name + "\r\nSUMMARY:" + days +
                                                    "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
        QList<CalendarEvent> expected = listed();
        for (CalendarEvent& event : expected)
            if (event.id == c.id)
                event = {event.id, c.start, c.end, event.title, c.location, event.notes};
        EXPECT_EQ(answerOf(update, c.args), c.answer);
        EXPECT_TRUE(listed() == expected) << c.answer.toStdString();
        if (c.written) {
            QByteArray all;
            for (const QString& file : files())
                all += FileIO::readAll(folder + '/' + file).value_or(QByteArray());
            EXPECT_TRUE(all.contains(c.written)) << all.toStdString();
        }
    }
}

TEST_F(CalendarSkills, DeletesByIdOrByTheExistingStart)
{
    add("a", "", at(1, 5, 10), 60);
    add("s", "Sync", at(1, 5, 17, 5), 60);
    EXPECT_EQ(answerOf(removal, {}), kNotFound);
    EXPECT_EQ(answerOf(removal, {{"start", "2026-01-05T17:00"}}), QStringLiteral("일정 'Sync' 삭제했어요."));
    EXPECT_EQ(answerOf(removal, {{"id", "a"}}), QStringLiteral("일정 '(제목 없음)' 삭제했어요."));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(CalendarSkills, DeletingTheThreePMMeetingKeepsTheOtherEventsOfItsFileAndOtherOccurrences)
{
    // An exported calendar dropped into the folder: several events in one file, one a series.
    ASSERT_TRUE(FileIO::ensureDirectory(IcalCalendarStore::defaultFolder()));
    ASSERT_TRUE(FileIO::writeAtomically(
        IcalCalendarStore::defaultFolder() + "/export.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Export//EN\r\n"
        "BEGIN:VEVENT\r\nUID:m\r\nDTSTART;TZID=Asia/Seoul:20260105T150000\r\n"
        "DTEND;TZID=Asia/Seoul:20260105T160000\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:l\r\nDTSTART;TZID=Asia/Seoul:20260105T180000\r\n"
        "DTEND;TZID=Asia/Seoul:20260105T190000\r\nSUMMARY:Later\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:d\r\nDTSTART;TZID=Asia/Seoul:20260106T150000\r\n"
        "DTEND;TZID=Asia/Seoul:20260106T153000\r\nRRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:Daily\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n"));
    EXPECT_EQ(answerOf(week, {}), QStringLiteral("이번 주 일정 7건. 1월 5일 15:00 — Meeting; 1월 5일 18:00 — Later; "
                                                 "1월 6일 15:00 — Daily; 1월 7일 15:00 — Daily; 1월 8일 15:00 — Daily; "
                                                 "1월 9일 15:00 — Daily; 1월 10일 15:00 — Daily"));
    EXPECT_EQ(answerOf(removal, {{"start", "2026-01-05T15:00"}}), QStringLiteral("일정 'Meeting' 삭제했어요."));
    // The named occurrence of the series, and no other.
    EXPECT_EQ(answerOf(removal, {{"start", "2026-01-08T15:00"}}), QStringLiteral("일정 'Daily' 삭제했어요."));
    // Moving one occurrence's start keeps its end, and only that occurrence moves.
    EXPECT_EQ(answerOf(update, {{"original_start", "2026-01-09T15:00"}, {"start", "2026-01-09T15:10"}}),
              QStringLiteral("일정 'Daily' 수정했어요."));
    EXPECT_EQ(answerOf(week, {}),
              QStringLiteral("이번 주 일정 5건. 1월 5일 18:00 — Later; 1월 6일 15:00 — Daily; "
                             "1월 7일 15:00 — Daily; 1월 9일 15:10 — Daily; 1월 10일 15:00 — Daily"));
    QStringList ends;
    for (const CalendarEvent& event : events())
        ends << event.end.toString(QStringLiteral("MM-dd HH:mm"));
    EXPECT_EQ(ends, QStringList({"01-05 19:00", "01-06 15:30", "01-07 15:30", "01-09 15:30", "01-10 15:30"}));
    EXPECT_EQ(files(), QStringList{"export.ics"});
    const QByteArray text = *FileIO::readAll(IcalCalendarStore::defaultFolder() + "/export.ics");
    EXPECT_TRUE(text.contains("PRODID:-//Export//EN"));
    EXPECT_TRUE(text.contains("EXDATE;TZID=Asia/Seoul:20260108T150000")) << text.toStdString();
}

TEST_F(CalendarSkills, AnUnreachableStoreIsSaidSoNeverAnEmptyCalendar)
{
    QDir().mkpath(root.path());
    ASSERT_TRUE(FileIO::writeAtomically(IcalCalendarStore::defaultFolder(), "a file where the folder belongs"));
    for (Skill* skill : std::initializer_list<Skill*>{&today, &week, &create, &update, &removal})
        EXPECT_EQ(answerOf(*skill, {{"id", "a"}}), QStringLiteral("캘린더에 접근할 수 없어요. 데이터 폴더의 calendar "
                                                                  "폴더를 읽고 쓸 수 있는지 확인해주세요."));
}

// Each kind of file other programs export, alone in the folder, asked each question. "…"
// in an answer stands for the lines between its start and its end.
TEST_F(CalendarSkills, EveryKindOfFileAnswersEveryQuestionWithAllItsEvents)
{
    enum Question { listToday, listWeek, changeIt, deleteIt };
    struct Row {
        const char* file;
        Question question;
        SkillArgs args;
        QString answer;
        // The event that changes or goes: its id, or for one without UID, whose id is made from
        // its text, "~" and its title.
        QString changed = {};
    };
    const SkillArgs noArgs;
    const auto moveTo = [](const char* start) { return SkillArgs{{"original_start", start}, {"location", "Hall"}}; };
    const auto at = [](const char* start) { return SkillArgs{{"start", start}}; };
    const QString dentist = "1월 5일 14:00 — Dentist @ Gangnam", flight = "1월 7일 08:00 — Flight to Jeju",
                  lunch = "1월 5일 12:00 — Lunch";
    const QString cutNote = " (반복이 너무 많아 앞부분만 센 일정: %1)";
    // Not one of its seconds falls in January: it does not repeat too often here, its walk ran out.
    const QString unfinishedNote = " (반복을 다 계산하지 못해 일부가 빠졌을 수 있는 일정: %1)";
    // Refused where the event's own text cannot be changed safely, whatever else the file holds.
    const auto unsafe = [](const char* file, const char* why) {
        return QString("error 1: <folder>/%1 is left as it is: the event's text cannot be changed safely, %2")
            .arg(file, why);
    };
    const QString notRead =
        " (읽지 못한 캘린더 파일이 있어 그 일정은 빠졌을 수 있어요: not-a-calendar.ics(캘린더 파일이 아님))";
    const auto damaged = [](const char* file) {
        return QString(" (읽지 못한 캘린더 파일이 있어 그 일정은 빠졌을 수 있어요: %1(일부 손상됨))").arg(file);
    };
    const QString unknownZone =
        " (알 수 없는 시간대를 쓰는 캘린더 파일이 있어 그 시각은 현지 시각으로 읽었어요: unknown-zone.ics)";
    const QString trip = "1월 %1일 00:00 — Trip";
    const Row rows[] = {
        {"daily-first.ics", listToday, noArgs, "오늘 일정 2건. 1월 5일 09:30 — Standup; " + dentist},
        {"daily-first.ics", listWeek, noArgs,
         "이번 주 일정 9건. 1월 5일 09:30 — Standup; " + dentist + "; 1월 6일 09:30 — Standup; " + flight +
             "; 1월 7일 09:30 — Standup; 1월 8일 09:30 — Standup; 1월 9일 09:30 — Standup; 1월 10일 09:30 — Standup"},
        {"daily-first.ics", changeIt, moveTo("2026-01-07T08:00"), "일정 'Flight to Jeju' 수정했어요.",
         "flight-0107@example.com"},
        {"daily-first.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"weekly-middle.ics", listToday, noArgs, "오늘 일정 2건. 1월 5일 11:00 — Team sync; " + dentist},
        {"weekly-middle.ics", listWeek, noArgs,
         "이번 주 일정 4건. 1월 5일 11:00 — Team sync; " + dentist + "; " + flight +
             "; 1월 7일 13:00 — Team sync (moved)"},
        {"weekly-middle.ics", changeIt, moveTo("2026-01-07T13:00"), "일정 'Team sync (moved)' 수정했어요.",
         "sync@example.com#20260107T020000Z"},
        {"weekly-middle.ics", deleteIt, at("2026-01-07T08:00"), "일정 'Flight to Jeju' 삭제했어요.",
         "flight-0107@example.com"},
        {"weekly-last.ics", listToday, noArgs, "오늘 일정 1건. " + dentist},
        {"weekly-last.ics", listWeek, noArgs,
         "이번 주 일정 5건. " + dentist + "; 1월 6일 00:00 — Holiday; 1월 6일 19:00 — Gym; " + flight +
             "; 1월 8일 19:00 — Gym"},
        {"weekly-last.ics", changeIt, moveTo("2026-01-06T19:00"), "일정 'Gym' 수정했어요.",
         "gym@example.com#20260106T100000Z"},
        {"weekly-last.ics", deleteIt, at("2026-01-06T00:00"), "일정 'Holiday' 삭제했어요.", "holiday-0106@example.com"},
        {"several-rules.ics", listToday, noArgs, "오늘 일정 1건. 1월 5일 10:00 — Class"},
        {"several-rules.ics", listWeek, noArgs,
         "이번 주 일정 3건. 1월 5일 10:00 — Class; 1월 9일 19:00 — Dinner; 1월 10일 15:00 — Class"},
        {"several-rules.ics", changeIt, moveTo("2026-01-10T15:00"), "일정 'Class' 수정했어요.",
         "class@example.com#20260110T060000Z"},
        {"several-rules.ics", deleteIt, at("2026-01-09T19:00"), "일정 'Dinner' 삭제했어요.", "dinner-0109@example.com"},
        {"minutely.ics", listToday, noArgs,
         "오늘 일정 101건. 1월 5일 00:00 — Ping; 1월 5일 00:01 — Ping; …; 1월 5일 01:39 — Ping; " + lunch +
             cutNote.arg("Ping")},
        {"minutely.ics", listWeek, noArgs,
         "이번 주 일정 101건. 1월 5일 09:00 — Ping; 1월 5일 09:01 — Ping; …; 1월 5일 09:07 — Ping" +
             cutNote.arg("Ping")},
        {"minutely.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"minutely.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"secondly.ics", listToday, noArgs,
         "오늘 일정 101건. 1월 5일 00:00 — Tick; …; 1월 5일 00:01 — Tick; " + lunch + cutNote.arg("Tick")},
        {"secondly.ics", listWeek, noArgs, "이번 주 일정 101건. 1월 5일 09:00 — Tick; …" + cutNote.arg("Tick")},
        {"secondly.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"secondly.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"leap-seconds.ics", listToday, noArgs, "오늘 일정 1건. " + lunch + unfinishedNote.arg("Leap")},
        {"leap-seconds.ics", listWeek, noArgs, "이번 주 일정 1건. " + lunch + unfinishedNote.arg("Leap")},
        {"leap-seconds.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"leap-seconds.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"long-line.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; 1월 5일 16:00 — Review"},
        {"long-line.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; 1월 5일 16:00 — Review"},
        {"long-line.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"long-line.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"long-line.ics", changeIt, moveTo("2026-01-05T16:00"),
         unsafe("long-line.ics", "a line is longer than 128 KiB")},
        {"never-monthly.ics", listToday, noArgs, "오늘 일정 1건. " + lunch},
        {"never-monthly.ics", listWeek, noArgs, "이번 주 일정 1건. " + lunch},
        {"never-monthly.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"never-monthly.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"never-since-year-one.ics", listToday, noArgs, "오늘 일정 1건. " + lunch},
        {"never-since-year-one.ics", listWeek, noArgs, "이번 주 일정 1건. " + lunch},
        {"never-since-year-one.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"never-since-year-one.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.",
         "lunch-0105@example.com"},
        {"ending-1901.ics", listToday, noArgs, "오늘 일정 1건. " + lunch},
        {"ending-1901.ics", listWeek, noArgs, "이번 주 일정 1건. " + lunch},
        {"ending-1901.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"ending-1901.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"not-a-calendar.ics", listToday, noArgs, "오늘 일정은 없어요." + notRead},
        {"not-a-calendar.ics", listWeek, noArgs, "이번 주는 일정이 없네요." + notRead},
        {"not-a-calendar.ics", changeIt, moveTo("2026-01-05T12:00"), kNotFound},
        {"not-a-calendar.ics", deleteIt, at("2026-01-05T12:00"), kNotFound},
        // The huge line is left out, and the file read; it is too large to be rewritten.
        {"huge-line.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; 1월 5일 16:00 — Review"},
        {"huge-line.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; 1월 5일 16:00 — Review"},
        {"huge-line.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"huge-line.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"bom-crlf.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"bom-crlf.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"bom-crlf.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"bom-crlf.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"bom-lf.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"bom-lf.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"bom-lf.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"bom-lf.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"cr-only.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"cr-only.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"cr-only.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"cr-only.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        // A damaged line costs at most its own event, and the file is named; it is never
        // rewritten, which would make libical's reading of it permanent.
        {"misspelt-end.ics", listToday, noArgs,
         "오늘 일정 2건. " + lunch + "; " + dentist + damaged("misspelt-end.ics")},
        {"misspelt-end.ics", listWeek, noArgs,
         "이번 주 일정 3건. " + lunch + "; " + dentist + "; " + flight + damaged("misspelt-end.ics")},
        {"misspelt-end.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"misspelt-end.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"misspelt-end.ics", changeIt, moveTo("2026-01-07T08:00"),
         unsafe("misspelt-end.ics", "an END line inside it does not match")},
        {"misspelt-end.ics", deleteIt, at("2026-01-07T08:00"),
         unsafe("misspelt-end.ics", "an END line inside it does not match")},
        {"ended-by-vtodo.ics", listToday, noArgs,
         "오늘 일정 2건. " + lunch + "; " + dentist + damaged("ended-by-vtodo.ics")},
        {"ended-by-vtodo.ics", listWeek, noArgs,
         "이번 주 일정 3건. " + lunch + "; " + dentist + "; " + flight + damaged("ended-by-vtodo.ics")},
        {"ended-by-vtodo.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"ended-by-vtodo.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"misspelt-begin.ics", listToday, noArgs,
         "오늘 일정 2건. " + lunch + "; " + dentist + damaged("misspelt-begin.ics")},
        {"misspelt-begin.ics", listWeek, noArgs,
         "이번 주 일정 2건. " + lunch + "; " + dentist + damaged("misspelt-begin.ics")},
        {"misspelt-begin.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.",
         "lunch-0105@example.com"},
        {"misspelt-begin.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"week-number.ics", listToday, noArgs, "오늘 일정 2건. 1월 5일 10:00 — Planning; " + lunch},
        {"week-number.ics", listWeek, noArgs,
         "이번 주 일정 3건. 1월 5일 10:00 — Planning; " + lunch + "; 1월 7일 10:00 — Planning"},
        {"week-number.ics", changeIt, moveTo("2026-01-07T10:00"), "일정 'Planning' 수정했어요.",
         "planning@example.com#20260107T010000Z"},
        {"week-number.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        // A zone read as the file defines it, not as Qt's zone of that name at UTC.
        {"eastern.ics", listToday, noArgs,
         "오늘 일정 3건. 1월 5일 10:00 — East standup; 1월 5일 11:00 — Call with Boston; " + lunch},
        {"eastern.ics", listWeek, noArgs,
         "이번 주 일정 5건. 1월 5일 10:00 — East standup; 1월 5일 11:00 — Call with Boston; " + lunch +
             "; 1월 6일 10:00 — East standup; 1월 7일 10:00 — East standup"},
        {"eastern.ics", changeIt, moveTo("2026-01-05T11:00"), "일정 'Call with Boston' 수정했어요.",
         "boston@example.com"},
        // The EXDATE is written in the file's own zone.
        {"eastern.ics", deleteIt, at("2026-01-06T10:00"), "일정 'East standup' 삭제했어요.",
         "standup-east@example.com#20260106T010000Z"},
        {"vendor-zones.ics", listToday, noArgs,
         "오늘 일정 3건. 1월 5일 10:00 — Design review; " + lunch + "; 1월 5일 19:30 — Call home"},
        {"vendor-zones.ics", listWeek, noArgs,
         "이번 주 일정 3건. 1월 5일 10:00 — Design review; " + lunch + "; 1월 5일 19:30 — Call home"},
        {"vendor-zones.ics", changeIt, moveTo("2026-01-05T10:00"), "일정 'Design review' 수정했어요.",
         "design@example.com"},
        {"vendor-zones.ics", deleteIt, at("2026-01-05T19:30"), "일정 'Call home' 삭제했어요.", "home@example.com"},
        {"unknown-zone.ics", listToday, noArgs,
         "오늘 일정 2건. " + lunch + "; 1월 5일 15:00 — Rover check" + unknownZone},
        {"unknown-zone.ics", listWeek, noArgs,
         "이번 주 일정 2건. " + lunch + "; 1월 5일 15:00 — Rover check" + unknownZone},
        {"unknown-zone.ics", changeIt, moveTo("2026-01-05T15:00"), "일정 'Rover check' 수정했어요.",
         "mars@example.com"},
        {"unknown-zone.ics", deleteIt, at("2026-01-05T15:00"), "일정 'Rover check' 삭제했어요.", "mars@example.com"},
        // One occurrence without its series: an event of its own.
        {"invitation.ics", listToday, noArgs, "오늘 일정 1건. " + lunch},
        {"invitation.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; 1월 7일 11:00 — Board meeting"},
        {"invitation.ics", changeIt, moveTo("2026-01-07T11:00"), "일정 'Board meeting' 수정했어요.",
         "board@example.com#20260107T010000Z"},
        {"invitation.ics", deleteIt, at("2026-01-07T11:00"), "일정 'Board meeting' 삭제했어요.",
         "board@example.com#20260107T010000Z"},
        {"no-uid.ics", listToday, noArgs,
         "오늘 일정 3건. 1월 5일 10:00 — Yoga; " + lunch + "; 1월 5일 17:00 — Haircut"},
        {"no-uid.ics", listWeek, noArgs,
         "이번 주 일정 4건. 1월 5일 10:00 — Yoga; " + lunch + "; 1월 5일 17:00 — Haircut; 1월 7일 10:00 — Yoga"},
        {"no-uid.ics", changeIt, moveTo("2026-01-05T17:00"), "일정 'Haircut' 수정했어요.", "~Haircut"},
        {"no-uid.ics", deleteIt, at("2026-01-07T10:00"), "일정 'Yoga' 삭제했어요.", "~Yoga 01-07"},
        {"no-uid.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
        {"empty-uid.ics", changeIt, moveTo("2026-01-05T17:00"), "일정 'Haircut' 수정했어요.", "~Haircut"},
        {"tab-folded-uid.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.",
         "dentist-0105@example.com"},
        // Of two copies the higher SEQUENCE wins, wherever it stands.
        {"edited-twice.ics", listToday, noArgs,
         "오늘 일정 3건. " + lunch + "; 1월 5일 15:00 — Pitch (moved); 1월 5일 16:00 — Retro"},
        {"edited-twice.ics", listWeek, noArgs,
         "이번 주 일정 5건. " + lunch +
             "; 1월 5일 15:00 — Pitch (moved); 1월 5일 16:00 — Retro; 1월 6일 17:00 — "
             "Retro (late); 1월 7일 16:00 — Retro"},
        {"edited-twice.ics", changeIt, moveTo("2026-01-06T17:00"), "일정 'Retro (late)' 수정했어요.",
         "retro@example.com#20260106T070000Z"},
        {"edited-twice.ics", deleteIt, at("2026-01-05T15:00"), "일정 'Pitch (moved)' 삭제했어요.", "pitch@example.com"},
        {"all-day.ics", listToday, noArgs, "오늘 일정 2건. " + trip.arg(5) + "; " + lunch},
        {"all-day.ics", listWeek, noArgs,
         "이번 주 일정 6건. " + trip.arg(5) + "; " + lunch + "; " + trip.arg(6) + "; 1월 7일 00:00 — Trip (Busan); " +
             trip.arg(8) + "; " + trip.arg(9)},
        {"all-day.ics", changeIt, moveTo("2026-01-07T00:00"), "일정 'Trip (Busan)' 수정했어요.",
         "trip@example.com#20260106T150000Z"},
        {"all-day.ics", deleteIt, at("2026-01-08T00:00"), "일정 'Trip' 삭제했어요.",
         "trip@example.com#20260107T150000Z"},
        // What the program does not know stays as it was.
        {"vendor-blocks.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"vendor-blocks.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"vendor-blocks.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.",
         "dentist-0105@example.com"},
        {"vendor-blocks.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.",
         "dentist-0105@example.com"},
        {"padded.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"padded.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"padded.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.", "dentist-0105@example.com"},
        {"padded.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"cut-short.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist},
        {"cut-short.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist},
        {"cut-short.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.",
         "dentist-0105@example.com"},
        {"cut-short.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"nul-byte.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist + damaged("nul-byte.ics")},
        {"nul-byte.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist + damaged("nul-byte.ics")},
        {"nul-byte.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.",
         "dentist-0105@example.com"},
        {"nul-byte.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        {"no-start.ics", listToday, noArgs, "오늘 일정 2건. " + lunch + "; " + dentist + damaged("no-start.ics")},
        {"no-start.ics", listWeek, noArgs, "이번 주 일정 2건. " + lunch + "; " + dentist + damaged("no-start.ics")},
        {"no-start.ics", changeIt, moveTo("2026-01-05T14:00"), "일정 'Dentist' 수정했어요.",
         "dentist-0105@example.com"},
        {"no-start.ics", deleteIt, at("2026-01-05T14:00"), "일정 'Dentist' 삭제했어요.", "dentist-0105@example.com"},
        // Two series of one title are named once.
        {"two-pings.ics", listWeek, noArgs,
         "이번 주 일정 201건. 1월 5일 09:00 — Ping; 1월 5일 09:00 — Ping; …; 1월 5일 09:03 — Ping" +
             cutNote.arg("Ping")},
        {"three-starts.ics", listToday, noArgs,
         "오늘 일정 3건. 1월 5일 10:00 — Dues (March); 1월 5일 10:00 — Dues (odd); " + lunch},
        {"deep.ics", listToday, noArgs, "오늘 일정 1건. " + lunch + damaged("deep.ics")},
        {"deep.ics", listWeek, noArgs, "이번 주 일정 1건. " + lunch + damaged("deep.ics")},
        {"deep.ics", changeIt, moveTo("2026-01-05T12:00"), "일정 'Lunch' 수정했어요.", "lunch-0105@example.com"},
        {"deep.ics", deleteIt, at("2026-01-05T12:00"), "일정 'Lunch' 삭제했어요.", "lunch-0105@example.com"},
    };
    const char* const questions[] = {"list today", "list week", "update", "delete"};
    std::cout << "file              | question   | answer\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " / " + questions[row.question]);
        clear();
        ASSERT_TRUE(ExportedCalendars::write(IcalCalendarStore::defaultFolder(), ExportedCalendars::named(row.file)));
        const QList<CalendarEvent> before = events();
        const QByteArray bytes = *FileIO::readAll(IcalCalendarStore::defaultFolder() + '/' + row.file);
        Skill* skill[] = {&today, &week, &update, &removal};
        const QString answer =
            answerOf(*skill[row.question], row.args).replace(IcalCalendarStore::defaultFolder(), "<folder>");
        std::cout << QString("%1| %2| %3\n")
                         .arg(QString(row.file).leftJustified(18), QString(questions[row.question]).leftJustified(11),
                              answer.size() > 110 ? answer.left(70) + " … " + answer.right(40) : answer)
                         .toStdString();
        const qsizetype gap = row.answer.indexOf("…");
        if (gap < 0) {
            EXPECT_EQ(answer, row.answer);
        } else {
            EXPECT_TRUE(answer.startsWith(row.answer.left(gap))) << answer.toStdString();
            EXPECT_TRUE(answer.endsWith(row.answer.mid(gap + 1))) << answer.toStdString();
        }
        // A refused change leaves the file byte for byte; one made, every byte outside its event's
        // own components.
        const QByteArray after =
            FileIO::readAll(IcalCalendarStore::defaultFolder() + '/' + row.file).value_or("<no file>");
        if (answer.startsWith("error")) {
            EXPECT_EQ(after, bytes);
        } else if (!row.changed.isEmpty() && !row.changed.startsWith('~')) {
            EXPECT_EQ(CalendarBytes::changedOutside(bytes, after, row.changed.section('#', 0, 0).toUtf8()),
                      std::nullopt);
        }
        // The change touched its event and no other.
        QList<CalendarEvent> expected = before;
        const auto meant = [&](const CalendarEvent& event) {
            return row.changed.startsWith('~')
                       ? (event.title + event.start.toString(" MM-dd")).startsWith(row.changed.mid(1))
                       : event.id == row.changed;
        };
        for (qsizetype i = expected.size() - 1; i >= 0; --i) {
            if (!meant(expected[i]))
                continue;
            if (row.question == deleteIt)
                expected.removeAt(i);
            else
                expected[i].location = "Hall";
        }
        EXPECT_TRUE(events() == expected);
    }
}

// A file the store could not read is named with why, in the language of the voice, and never
// makes an empty day of a calendar.
TEST_F(CalendarSkills, AFileLeftOutIsNamedInTheAnswersLanguage)
{
    const QString folder = IcalCalendarStore::defaultFolder();
    ASSERT_TRUE(ExportedCalendars::write(folder, ExportedCalendars::named("not-a-calendar.ics")));
    ASSERT_TRUE(FileIO::writeAtomically(folder + "/unreadable.ics", ExportedCalendars::named("minutely.ics").text));
    ASSERT_EQ(::chmod(QFile::encodeName(folder + "/unreadable.ics").constData(), 0), 0);
    // Past the largest size read, without taking the disk's space.
    QFile beyond(folder + "/beyond.ics");
    ASSERT_TRUE(beyond.open(QIODevice::WriteOnly) && beyond.resize((qint64(256) << 20) + 1));
    beyond.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/a-pipe.ics").constData(), 0600), 0);
    ASSERT_TRUE(ExportedCalendars::write(folder, ExportedCalendars::named("misspelt-begin.ics")));
    add("a", "Standup", at(1, 5, 10), 30);
    const WithoutReadOverride asAnyone;
    // Made now, its thread lacks the capabilities too.
    CalendarListTodaySkill listing{store, clock, std::make_shared<SkillWorker>("app.parlivox.calendar")};
    // Read aloud: a few are named, the rest counted.
    EXPECT_EQ(answerOf(listing, {}, AppLanguage::korean),
              QStringLiteral("오늘 일정 3건. 1월 5일 10:00 — Standup; 1월 5일 12:00 — Lunch; 1월 5일 14:00 — Dentist @ "
                             "Gangnam (읽지 못한 캘린더 파일이 있어 그 일정은 빠졌을 수 있어요: a-pipe.ics(일반 파일이 "
                             "아님), beyond.ics(256MiB 초과), misspelt-begin.ics(일부 손상됨) 외 2건)"));
    EXPECT_EQ(answerOf(listing, {}, AppLanguage::english),
              QStringLiteral("3 events today: January 5 at 10:00 AM — Standup; January 5 at 12:00 PM — Lunch; January "
                             "5 at 2:00 PM — Dentist @ Gangnam (I couldn't read these calendar files, so their events "
                             "may be missing: a-pipe.ics (not a regular file), beyond.ics (larger than 256 MiB), "
                             "misspelt-begin.ics (partly damaged) and 2 more)"));
    // The file is left as it was.
    EXPECT_EQ(TestEnvironment::permissionBits(folder + "/unreadable.ics"), 0u);
    // Three are all named, with none more to count.
    ASSERT_TRUE(QFile::remove(folder + "/not-a-calendar.ics") && QFile::remove(folder + "/unreadable.ics"));
    EXPECT_EQ(answerOf(listing, {}, AppLanguage::english),
              QStringLiteral("3 events today: January 5 at 10:00 AM — Standup; January 5 at 12:00 PM — Lunch; January "
                             "5 at 2:00 PM — Dentist @ Gangnam (I couldn't read these calendar files, so their events "
                             "may be missing: a-pipe.ics (not a regular file), beyond.ics (larger than 256 MiB), "
                             "misspelt-begin.ics (partly damaged))"));
}

// A question is answered on the calendar's worker: the window's thread is back before the
// answer, which then comes to it.
TEST_F(CalendarSkills, AnswersAfterTheCallReturns)
{
    add("a", "Standup", at(1, 5, 10), 30);
    QStringList answers;
    today.run({}, AppLanguage::korean, [&](Skill::Outcome outcome) { answers.append(std::get<QString>(outcome)); });
    EXPECT_TRUE(answers.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.isEmpty(); }, 10000));
    EXPECT_EQ(answers, QStringList({"오늘 일정 1건. 1월 5일 10:00 — Standup"}));
}
