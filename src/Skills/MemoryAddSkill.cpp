#include "Skills/MemoryAddSkill.h"

#include "Persona/PersonaStore.h"
#include "Skills/SkillRegistry.h"
#include "Support/Text.h"

MemoryAddSkill::MemoryAddSkill()
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID)))
{
}

QString MemoryAddSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language).arg(args.value(QStringLiteral("note"), QStringLiteral("?")));
}

void MemoryAddSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    const QString note = Text::trimmed(args.value(QStringLiteral("note")));
    if (note.isEmpty())
        done(L10n::t("speech.memory.empty", language));
    else if (!PersonaStore::appendMemory(note))
        done(L10n::t("speech.memory.failed", language));
    else
        done(L10n::t("speech.memory.added", language).arg(note));
}
