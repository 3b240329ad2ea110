#include "Skills/AliasAddSkill.h"
#include "Skills/MemoryAddSkill.h"
#include "Skills/RestSkill.h"
#include "Skills/SystemAppResourcesSkill.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Diagnostics/SystemMonitor.h"
#include "Persona/AliasStore.h"
#include "Persona/PersonaStore.h"
#include "SkillTestKit.h"
#include "Support/FileIO.h"

#include <unistd.h>

TEST(AliasAddSkill, ConfirmsOnlyPairsThatWereStored)
{
    const QString refused = QStringLiteral("알 수 없는 입력이라 자동 수정을 등록하지 못했어요.");
    const struct {
        SkillArgs args;
        QString answer;
        qsizetype stored;
    } cases[] = {{{{"wrong", " 파리복스 "}, {"right", "Parlivox\n"}},
                  "기억했어요. 다음부터는 파리복스 을(를) Parlivox 로 자동 수정할게요.",
                  1},
                 {{{"wrong", "kim"}}, refused, 0},
                 {{{"wrong", "kim"}, {"right", ""}}, refused, 0},
                 {{{"wrong", "  "}, {"right", "kim"}}, refused, 0},
                 {{{"wrong", "kim"}, {"right", " kim"}}, refused, 0}};
    AliasAddSkill skill;
    for (const auto& c : cases) {
        ScopedDataRoot root;
        EXPECT_EQ(answerOf(skill, c.args), c.answer);
        EXPECT_EQ(AliasStore::load().size(), c.stored);
    }
    EXPECT_EQ(skill.summary({{"right", "Parlivox"}}, AppLanguage::korean),
              QStringLiteral("자동 수정 추가: ? → Parlivox"));
}

TEST(MemoryAddSkill, ConfirmsOnlyNotesThatWereWritten)
{
    ScopedDataRoot root;
    MemoryAddSkill skill;
    EXPECT_EQ(answerOf(skill, {{"note", " \n "}}),
              QStringLiteral("기록할 내용이 비어 있어서 메모리에 추가하지 않았어요."));
    EXPECT_EQ(answerOf(skill, {{"note", " 커피는 라떼 "}}), QStringLiteral("기억했어요: 커피는 라떼"));
    EXPECT_TRUE(PersonaStore::memory().contains(QStringLiteral("] 커피는 라떼\n")));

    // A memory file that cannot be read as text takes no note.
    ASSERT_TRUE(FileIO::writeAtomically(PersonaStore::memoryPath(), "\xff\xfe broken"));
    EXPECT_EQ(answerOf(skill, {{"note", "x"}}), QStringLiteral("메모리 파일에 기록하지 못했어요."));
    EXPECT_EQ(skill.summary({}, AppLanguage::korean), QStringLiteral("메모리에 추가: ?"));
}

TEST(SystemAppResourcesSkill, ReportsMemoryAndCpuAfterThePause)
{
    QTemporaryDir proc;
    const QByteArray pages = QByteArray::number(3 * 1024 * 1024 / sysconf(_SC_PAGESIZE));
    ASSERT_TRUE(FileIO::writeAtomically(proc.path() + "/statm", pages + " " + pages + " 0\n"));
    ASSERT_TRUE(FileIO::writeAtomically(proc.path() + "/stat", "1 (a) S 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"));
    SystemMonitor monitor(proc.path());
    FakeScheduler scheduler;
    SystemAppResourcesSkill skill(monitor, scheduler);

    QString answer;
    skill.run({}, AppLanguage::korean, [&](Skill::Outcome outcome) { answer = std::get<QString>(outcome); });
    scheduler.advance(std::chrono::milliseconds(299));
    EXPECT_TRUE(answer.isEmpty()) << "the second sample waits 0.3 s";
    scheduler.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(answer, QStringLiteral("Parlivox 메모리 3.0 MB, CPU 0.0% (지난 0.3초 평균). GPU 사용률은 "
                                     "Linux 가 일반 권한으로 노출하지 않아 측정하지 않아요."));
}

TEST(RestSkill, ParsesMinutesStrictlyAndRestsFromTheClock)
{
    const struct {
        const char* minutes;  // nullptr: absent
        int expected;
        const char* duration;
    } cases[] = {
        {nullptr, 60, "1시간"}, {"90", 90, "1시간 30분"}, {"120", 120, "2시간"}, {"30", 30, "30분"},
        {"3", 5, "5분"},        {"0", 5, "5분"},          {"-10", 5, "5분"},     {"1000", 480, "8시간"},
        {" \t45 ", 45, "45분"}, {"+45", 45, "45분"},      {"45분", 60, "1시간"}, {"4.5", 60, "1시간"},
        {"-", 60, "1시간"},     {"\n45", 60, "1시간"},    {"  ", 60, "1시간"},   {"99999999999999999999", 60, "1시간"},
    };
    FakeScheduler clock;
    RecordingRest rest;
    RestSkill skill(rest, clock);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes ? c.minutes : "absent");
        const SkillArgs args = c.minutes ? SkillArgs{{"minutes", c.minutes}} : SkillArgs{};
        EXPECT_EQ(RestSkill::minutes(args), c.expected);
        EXPECT_EQ(skill.summary(args, AppLanguage::korean), QStringLiteral("%1분 동안 쉬기").arg(c.expected));
        EXPECT_EQ(
            RestSkill::confirmation(c.expected, AppLanguage::korean),
            QStringLiteral("네, %1 쉴게요. 필요하면 '당근 당근' 하고 불러주세요.").arg(QString::fromUtf8(c.duration)));
    }
    const QDateTime start = clock.wallNow();
    EXPECT_EQ(answerOf(skill, {{"minutes", "90"}}, AppLanguage::korean, &clock),
              RestSkill::confirmation(90, AppLanguage::korean));
    EXPECT_EQ(rest.windows, QList<QDateTime>{start.addSecs(90 * 60)});
}

// Spoken by the voice of the speech language, so said in that language: whole hours, one hour
// and minutes alone each read naturally; outside Korean the button wakes the assistant, since
// the wake phrase is Korean.
TEST(RestSkill, ConfirmsInTheLanguageTheAssistantSpeaks)
{
    const struct {
        int minutes;
        AppLanguage language;
        const char* expected;
    } cases[] = {
        {60, AppLanguage::english, "OK, I'll rest for an hour. Click Clock in when you need me."},
        {5, AppLanguage::english, "OK, I'll rest for 5 minutes. Click Clock in when you need me."},
        {90, AppLanguage::english, "OK, I'll rest for an hour and 30 minutes. Click Clock in when you need me."},
        {120, AppLanguage::english, "OK, I'll rest for 2 hours. Click Clock in when you need me."},
        {150, AppLanguage::english, "OK, I'll rest for 2 hours and 30 minutes. Click Clock in when you need me."},
        {150, AppLanguage::korean, "네, 2시간 30분 쉴게요. 필요하면 '당근 당근' 하고 불러주세요."},
        {480, AppLanguage::german,
         "Gut, ich mache 8 Stunden Pause. Wenn Sie mich brauchen, klicken Sie auf Einstempeln."},
        {45, AppLanguage::japanese, "わかりました、45分休憩します。用があるときは「出勤」を押してください。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RestSkill::confirmation(c.minutes, c.language), QString::fromUtf8(c.expected)) << c.minutes;

    FakeScheduler clock;
    RecordingRest rest;
    RestSkill skill(rest, clock);
    EXPECT_EQ(answerOf(skill, {{"minutes", "120"}}, AppLanguage::english, &clock),
              QStringLiteral("OK, I'll rest for 2 hours. Click Clock in when you need me."));
}
