#pragma once

#include "Skills/SkillRegistry.h"

#include <QStringList>

// Skills that are only an id and a flag, as the skills section shows them.
class NamedSkill final : public Skill {
public:
    NamedSkill(const QString& id, bool asks) : Skill(id, id, asks) {}
    QString summary(const SkillArgs&, AppLanguage) const override { return id(); }
    void run(const SkillArgs&, AppLanguage, Completion done) override { done(id()); }
};

// The twelve skills of this system; the four that change calendars or write mail ask first.
inline void addSystemSkills(SkillRegistry& registry)
{
    const QStringList asking{"calendar.create_event", "calendar.update_event", "calendar.delete_event", "mail.compose"};
    for (const char* id : {"calendar.list_today", "calendar.list_week", "calendar.create_event",
                           "calendar.update_event", "calendar.delete_event", "mail.compose", "messages.list_recent",
                           "aliases.add", "system.app_resources", "memory.add", "camera.describe", "system.rest"})
        registry.add(std::make_shared<NamedSkill>(QString::fromLatin1(id), asking.contains(QLatin1String(id))));
}
