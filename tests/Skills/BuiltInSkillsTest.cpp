#include "Skills/BuiltInSkills.h"

#include "Diagnostics/SystemMonitor.h"
#include "Platform/IcalCalendarStore.h"
#include "SkillTestKit.h"
#include "Skills/SkillRegistry.h"

TEST(BuiltInSkills, RegistersEverySkillWithItsManifestAndApproval)
{
    IcalCalendarStore calendar;
    RecordingWorkspace workspace;
    SystemMonitor monitor;
    RecordingRest rest;
    FakeScheduler scheduler;
    SkillRegistry registry;
    BuiltInSkills{calendar, workspace, monitor, &rest, scheduler}.addTo(registry);

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
    BuiltInSkills{calendar, workspace, monitor, nullptr, scheduler}.addTo(withoutRest);
    EXPECT_EQ(withoutRest.skill(QStringLiteral("system.rest")), nullptr);
    EXPECT_EQ(withoutRest.allSkills().size(), registry.allSkills().size() - 1);
}
