#include "Skills/BuiltInSkills.h"

#include "Skills/AliasAddSkill.h"
#include "Skills/CalendarCreateEventSkill.h"
#include "Skills/CalendarDeleteEventSkill.h"
#include "Skills/CalendarListTodaySkill.h"
#include "Skills/CalendarListWeekSkill.h"
#include "Skills/CalendarUpdateEventSkill.h"
#include "Skills/CameraVisionSkill.h"
#include "Skills/MailComposeSkill.h"
#include "Skills/MemoryAddSkill.h"
#include "Skills/RestSkill.h"
#include "Skills/SkillRegistry.h"
#include "Skills/SkillWorker.h"
#include "Skills/SystemAppResourcesSkill.h"

void BuiltInSkills::addTo(SkillRegistry& registry) const
{
    const auto calendarWorker = std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.calendar"));
    registry.add(std::make_shared<CalendarListTodaySkill>(calendar, scheduler, calendarWorker));
    registry.add(std::make_shared<CalendarListWeekSkill>(calendar, scheduler, calendarWorker));
    registry.add(std::make_shared<CalendarCreateEventSkill>(calendar, scheduler, calendarWorker));
    registry.add(std::make_shared<CalendarUpdateEventSkill>(calendar, scheduler, calendarWorker));
    registry.add(std::make_shared<CalendarDeleteEventSkill>(calendar, scheduler, calendarWorker));
    registry.add(std::make_shared<MailComposeSkill>(workspace));
    registry.add(std::make_shared<MessagesListRecentSkill>(
        messagesDatabase, std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.messages"))));
    registry.add(std::make_shared<AliasAddSkill>());
    registry.add(std::make_shared<SystemAppResourcesSkill>(monitor, scheduler));
    registry.add(std::make_shared<MemoryAddSkill>());
    registry.add(std::make_shared<CameraVisionSkill>());
    if (rest)
        registry.add(std::make_shared<RestSkill>(*rest, scheduler));
}
