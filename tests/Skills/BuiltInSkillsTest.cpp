#include "Skills/BuiltInSkills.h"

#include "Common/ExportedCalendars.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Diagnostics/SystemMonitor.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "SkillTestKit.h"
#include "Skills/SkillRegistry.h"
#include "Support/FileIO.h"

#include <QTemporaryDir>

#include <unistd.h>

namespace {
// The built-in skills over recording fakes.
struct BuiltIn {
    BuiltIn() { BuiltInSkills{calendar, workspace, monitor, &rest, scheduler}.addTo(registry); }

    IcalCalendarStore calendar;
    RecordingWorkspace workspace;
    SystemMonitor monitor;
    RecordingRest rest;
    FakeScheduler scheduler;
    SkillRegistry registry;
};
}  // namespace

TEST(BuiltInSkills, RegistersEverySkillWithItsManifestAndApproval)
{
    BuiltIn built;
    const SkillRegistry& registry = built.registry;

    QStringList listed;
    for (const auto& skill : registry.allSkills()) {
        listed.append(skill->id() + (skill->requiresConfirmation() ? " (approve)" : ""));
        EXPECT_EQ(skill->manifest(), SkillRegistry::builtInManifest(skill->id()));
    }
    EXPECT_EQ(listed, QStringList({"aliases.add", "calendar.create_event (approve)", "calendar.delete_event (approve)",
                                   "calendar.list_today", "calendar.list_week", "calendar.update_event (approve)",
                                   "camera.describe", "mail.compose (approve)", "memory.add", "messages.list_recent",
                                   "system.app_resources", "system.rest"}));

    SkillRegistry withoutRest;
    BuiltInSkills{built.calendar, built.workspace, built.monitor, nullptr, built.scheduler}.addTo(withoutRest);
    EXPECT_EQ(withoutRest.skill(QStringLiteral("system.rest")), nullptr);
    EXPECT_EQ(withoutRest.allSkills().size(), registry.allSkills().size() - 1);
}

// The approval card shows a call in the window's language and the voice asks about it in its
// own: every skill words its calls in the language asked, with the arguments in their places
// and Korean as the skills have always worded them.
TEST(BuiltInSkills, EverySkillSummarizesACallInTheLanguageAsked)
{
    const BuiltIn built;
    const SkillRegistry& registry = built.registry;

    const struct {
        const char* id;
        SkillArgs args;
        const char* korean;
        const char* english;
    } cases[] = {
        {"aliases.add",
         {{"wrong", "Nina"}, {"right", "Mina"}},
         "자동 수정 추가: Nina → Mina",
         "Auto-correct Nina to Mina"},
        {"aliases.add", {}, "자동 수정 추가: ? → ?", "Auto-correct ? to ?"},
        {"calendar.create_event",
         {{"title", "Standup"}, {"start", "2026-05-12T15:00"}},
         "일정 생성: Standup (2026-05-12T15:00)",
         "New event: Standup (2026-05-12T15:00)"},
        {"calendar.create_event", {}, "일정 생성: (제목 없음) (?)", "New event: (untitled) (?)"},
        {"calendar.delete_event", {{"id", "e1"}}, "일정 삭제: e1", "Delete event: e1"},
        {"calendar.delete_event",
         {{"id", ""}, {"original_start", "2026-12-09T10:00"}},
         "일정 삭제: 2026-12-09T10:00",
         "Delete event: 2026-12-09T10:00"},
        {"calendar.update_event",
         {{"title", "Standup"}, {"start", "16:00"}},
         "일정 수정: Standup → 16:00",
         "Change event: Standup → 16:00"},
        {"calendar.update_event",
         {{"title", ""}, {"original_start", "2026-12-11T02:00"}, {"start", "2026-12-11T03:00"}},
         "일정 수정: 2026-12-11T02:00 → 2026-12-11T03:00",
         "Change event: 2026-12-11T02:00 → 2026-12-11T03:00"},
        {"calendar.list_today", {}, "오늘 일정 조회", "Read today's events"},
        {"calendar.list_week", {}, "다음 7일 일정 조회", "Read the events of the next 7 days"},
        {"camera.describe", {}, "카메라 화면 설명", "Describe the camera view"},
        {"mail.compose", {{"to", "a@b.c"}}, "메일 작성: a@b.c / (제목 없음)", "New mail: a@b.c / (untitled)"},
        {"memory.add", {{"note", "likes %2 tea"}}, "메모리에 추가: likes %2 tea", "Remember: likes %2 tea"},
        {"messages.list_recent", {}, "최근 메시지 조회", "Read recent messages"},
        {"system.app_resources", {}, "Parlivox 리소스 사용량 조회", "Check Parlivox's memory and CPU use"},
        {"system.rest", {{"minutes", "90"}}, "90분 동안 쉬기", "Rest for 90 minutes"},
    };
    QSet<QString> covered;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const std::shared_ptr<Skill> skill = registry.skill(QString::fromLatin1(c.id));
        ASSERT_TRUE(skill);
        covered.insert(skill->id());
        EXPECT_EQ(skill->summary(c.args, AppLanguage::korean), QString::fromUtf8(c.korean));
        EXPECT_EQ(skill->summary(c.args, AppLanguage::english), QString::fromUtf8(c.english));
    }
    EXPECT_EQ(covered.size(), registry.allSkills().size()) << "a skill without a summary case";
}

namespace {
// The built-in skills in Seoul on Monday 5 January 2026 at 09:00, over a fresh data folder,
// in a process of 3 MB that uses no CPU.
struct Answering {
    Answering()
    {
        const QByteArray pages = QByteArray::number(3 * 1024 * 1024 / sysconf(_SC_PAGESIZE));
        FileIO::writeAtomically(proc.path() + "/statm", pages + " " + pages + " 0\n");
        FileIO::writeAtomically(proc.path() + "/stat", "1 (a) S 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
        BuiltInSkills{calendar, workspace, monitor, &rest, scheduler, root.path() + "/messages/chat.db"}.addTo(
            registry);
    }
    void addEvents(int count)
    {
        const QDateTime ten(QDate(2026, 1, 5), QTime(10, 0));
        const CalendarEvent events[] = {{"a", ten, ten.addSecs(1800), "Standup", "Room 1", ""},
                                        {"b", ten.addSecs(3 * 3600), ten.addSecs(4 * 3600), "", "", ""}};
        for (int i = 0; i < count; ++i)
            calendar.save(events[i], nullptr);
    }

    ScopedTimeZone zone{"Asia/Seoul"};
    ScopedDataRoot root;
    QTemporaryDir proc;
    IcalCalendarStore calendar;
    RecordingWorkspace workspace;
    SystemMonitor monitor{proc.path()};
    RecordingRest rest;
    FakeScheduler scheduler{QDateTime(QDate(2026, 1, 5), QTime(9, 0))};
    SkillRegistry registry;
};
}  // namespace

// What a skill answers is said by the assistant's voice, so it is worded in the language the
// call asks for, dates and numbers as that language writes them; Korean as it always was.
TEST(BuiltInSkills, EverySkillAnswersInTheLanguageAsked)
{
    using Setup = void (*)(Answering&);
    const Setup none = [](Answering&) {};
    const Setup oneEvent = [](Answering& a) { a.addEvents(1); };
    const Setup twoEvents = [](Answering& a) { a.addEvents(2); };
    const struct {
        const char* id;
        SkillArgs args;
        Setup setup;
        const char* korean;
        const char* english;
        const char* german;
    } cases[] = {
        {"calendar.list_today",
         {},
         twoEvents,
         "오늘 일정 2건. 1월 5일 10:00 — Standup @ Room 1; 1월 5일 13:00 — (제목 없음)",
         "2 events today: January 5 at 10:00 AM — Standup @ Room 1; January 5 at 1:00 PM — (untitled)",
         "Heute 2 Termine: 5. Januar um 10:00 Uhr — Standup @ Room 1; 5. Januar um 13:00 Uhr — (ohne Titel)"},
        {"calendar.list_today",
         {},
         [](Answering&) {
             ExportedCalendars::write(IcalCalendarStore::defaultFolder(), ExportedCalendars::named("leap-seconds.ics"));
         },
         "오늘 일정 1건. 1월 5일 12:00 — Lunch (반복을 다 계산하지 못해 일부가 빠졌을 수 있는 일정: Leap)",
         "One event today: January 5 at 12:00 PM — Lunch (I couldn't work out every occurrence of these repeating "
         "events, so some may be missing: Leap)",
         "Heute ein Termin: 5. Januar um 12:00 Uhr — Lunch (nicht alle Termine dieser Serien ließen sich berechnen, "
         "einige fehlen vielleicht: Leap)"},
        {"calendar.list_week",
         {},
         oneEvent,
         "이번 주 일정 1건. 1월 5일 10:00 — Standup @ Room 1",
         "One event this week: January 5 at 10:00 AM — Standup @ Room 1",
         "Diese Woche ein Termin: 5. Januar um 10:00 Uhr — Standup @ Room 1"},
        {"calendar.list_week",
         {},
         none,
         "이번 주는 일정이 없네요.",
         "Nothing on your calendar this week.",
         "Diese Woche stehen keine Termine an."},
        {"calendar.create_event",
         {},
         none,
         "캘린더에 'Parlivox 일정' 추가했어요.",
         "I added 'Parlivox event' to your calendar.",
         "„Parlivox-Termin“ steht jetzt im Kalender."},
        {"calendar.create_event",
         {{"start", "next week"}},
         none,
         "시간 'next week' 을(를) 이해하지 못해서 캘린더를 바꾸지 않았어요. 예: 2026-05-12T17:00",
         "I didn't understand the time 'next week', so I left the calendar as it was. For example: 2026-05-12T17:00",
         "Die Zeit „next week“ habe ich nicht verstanden, deshalb bleibt der Kalender unverändert. Zum Beispiel: "
         "2026-05-12T17:00"},
        {"calendar.update_event",
         {{"original_start", "2026-01-05T10:00"}, {"location", "Hall"}},
         oneEvent,
         "일정 'Standup' 수정했어요.",
         "I updated 'Standup'.",
         "„Standup“ wurde geändert."},
        {"calendar.delete_event",
         {{"start", "2026-01-05T13:00"}},
         twoEvents,
         "일정 '(제목 없음)' 삭제했어요.",
         "I deleted '(untitled)'.",
         "„(ohne Titel)“ wurde gelöscht."},
        {"calendar.delete_event",
         {},
         oneEvent,
         "error 404: 이벤트를 찾을 수 없어요. 먼저 calendar.list_today 또는 calendar.list_week 로 일정을 조회한 뒤 id "
         "를 사용하거나, original_start (기존 시작 시각) 를 지정해 주세요.",
         "error 404: I can't find that event. First list the events with calendar.list_today or calendar.list_week "
         "and use an id, or give original_start (the event's current start time).",
         "error 404: Ich finde diesen Termin nicht. Listen Sie zuerst die Termine mit calendar.list_today oder "
         "calendar.list_week auf und verwenden Sie eine id, oder geben Sie original_start an (die bisherige Startzeit "
         "des Termins)."},
        {"mail.compose",
         {{"to", "a@b.c"}},
         none,
         "메일 작성 창을 열었어요. 내용 확인 후 보내주세요.",
         "I opened a new mail. Check it, then send it yourself.",
         "Ich habe eine neue E-Mail geöffnet. Prüfen Sie sie und senden Sie sie selbst ab."},
        {"mail.compose",
         {{"to", "//a"}},
         none,
         "error 400: 메일 주소가 비어 있어요.",
         "error 400: The mail address is empty.",
         "error 400: Die E-Mail-Adresse ist leer."},
        {"messages.list_recent",
         {},
         [](Answering& a) {
             database(a.root.path() + "/messages", QByteArray(kMessagesSchema) +
                                                       "INSERT INTO handle VALUES (1, 'kim@b.c');"
                                                       "INSERT INTO message (text, date, is_from_me, handle_id) VALUES"
                                                       " ('hi', 2, 0, 1), ('lunch?', 1, 0, 9);");
         },
         "최근 메시지 2건. kim@b.c: hi / unknown: lunch?",
         "2 recent messages. kim@b.c: hi / unknown: lunch?",
         "2 neue Nachrichten. kim@b.c: hi / unknown: lunch?"},
        {"messages.list_recent",
         {},
         none,
         "메시지 데이터베이스를 읽을 수 없어요. 데이터 폴더의 messages/chat.db 파일이 있는지, 읽기 권한이 있는지 "
         "확인해주세요.",
         "I can't read the messages database. Check that the file messages/chat.db is in the data folder and can be "
         "read.",
         "Ich kann die Nachrichtendatenbank nicht lesen. Prüfen Sie, ob die Datei messages/chat.db im Datenordner "
         "liegt und lesbar ist."},
        {"memory.add",
         {{"note", "tea, no sugar"}},
         none,
         "기억했어요: tea, no sugar",
         "I'll remember that: tea, no sugar",
         "Ich merke mir: tea, no sugar"},
        {"aliases.add",
         {{"wrong", "Nina"}, {"right", "Mina"}},
         none,
         "기억했어요. 다음부터는 Nina 을(를) Mina 로 자동 수정할게요.",
         "Got it. From now on I'll correct Nina to Mina.",
         "Verstanden. Ab jetzt korrigiere ich Nina automatisch zu Mina."},
        {"aliases.add",
         {{"wrong", "Nina"}},
         none,
         "알 수 없는 입력이라 자동 수정을 등록하지 못했어요.",
         "I couldn't tell what to correct, so I didn't add a correction.",
         "Ich konnte nicht erkennen, was korrigiert werden soll, deshalb habe ich keine Korrektur angelegt."},
        {"system.app_resources",
         {},
         none,
         "Parlivox 메모리 3.0 MB, CPU 0.0% (지난 0.3초 평균). GPU 사용률은 Linux 가 일반 권한으로 노출하지 않아 "
         "측정하지 않아요.",
         "Parlivox is using 3.0 MB of memory and 0.0% CPU, averaged over the last 0.3 seconds. GPU use isn't "
         "measured: Linux doesn't show it to ordinary programs.",
         "Parlivox belegt 3,0 MB Arbeitsspeicher und 0,0 % CPU (Mittel der letzten 0,3 Sekunden). Die GPU-Auslastung "
         "wird nicht gemessen, da Linux sie normalen Programmen nicht zeigt."},
        {"system.rest",
         {{"minutes", "90"}},
         none,
         "네, 1시간 30분 쉴게요. 필요하면 '당근 당근' 하고 불러주세요.",
         "OK, I'll rest for an hour and 30 minutes. Click Clock in when you need me.",
         "Gut, ich mache eine Stunde und 30 Minuten Pause. Wenn Sie mich brauchen, klicken Sie auf Einstempeln."},
        {"camera.describe", {}, none, "", "", ""},
    };
    QSet<QString> covered;
    for (const auto& c : cases) {
        for (const auto& [language, expected] :
             {std::pair{AppLanguage::korean, c.korean}, std::pair{AppLanguage::english, c.english},
              std::pair{AppLanguage::german, c.german}}) {
            SCOPED_TRACE(std::string(c.id) + " in " + rawValue(language).toStdString());
            Answering answering;
            c.setup(answering);
            const std::shared_ptr<Skill> skill = answering.registry.skill(QString::fromLatin1(c.id));
            ASSERT_TRUE(skill);
            covered.insert(skill->id());
            EXPECT_EQ(answerOf(*skill, c.args, language, &answering.scheduler), QString::fromUtf8(expected));
        }
    }
    EXPECT_EQ(covered.size(), 12) << "a skill without an answer case";
}
