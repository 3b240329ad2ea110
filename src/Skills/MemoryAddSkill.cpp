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

void MemoryAddSkill::run(const SkillArgs& args, Completion done)
{
    const QString note = Text::trimmed(args.value(QStringLiteral("note")));
    if (note.isEmpty())
        done(QStringLiteral("기록할 내용이 비어 있어서 메모리에 추가하지 않았어요."));
    else if (!PersonaStore::appendMemory(note))
        done(QStringLiteral("메모리 파일에 기록하지 못했어요."));
    else
        done(QStringLiteral("기억했어요: ") + note);
}
