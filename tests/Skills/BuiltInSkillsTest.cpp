#include "Skills/BuiltInSkills.h"

#include "Diagnostics/SystemMonitor.h"
#include "Platform/IcalCalendarStore.h"
#include "SkillTestKit.h"
#include "Skills/SkillRegistry.h"

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
        {"calendar.update_event",
         {{"title", "Standup"}, {"start", "16:00"}},
         "일정 수정: Standup → 16:00",
         "Change event: Standup → 16:00"},
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
