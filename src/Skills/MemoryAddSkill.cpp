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
    const auto text = [language](const char* key) { return L10n::t(QLatin1String(key), language); };
    const QString note = Text::trimmed(args.value(QStringLiteral("note")));
    if (note.isEmpty())
        done(text("speech.memory.empty"));
    else if (!PersonaStore::appendMemory(note))
        done(text("speech.memory.failed"));
    else
        done(text("speech.memory.added").arg(note));
}
