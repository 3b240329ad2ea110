#include "Skills/AliasAddSkill.h"

#include "Persona/AliasStore.h"
#include "Skills/SkillRegistry.h"
#include "Support/Text.h"

AliasAddSkill::AliasAddSkill() : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID)))
{
}

QString AliasAddSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language)
        .arg(args.value(QStringLiteral("wrong"), QStringLiteral("?")),
             args.value(QStringLiteral("right"), QStringLiteral("?")));
}

void AliasAddSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    const QString wrong = Text::trimmed(args.value(QStringLiteral("wrong")));
    const QString right = Text::trimmed(args.value(QStringLiteral("right")));
    if (!wrong.isEmpty() && !right.isEmpty() && AliasStore::add(wrong, right)) {
        done(L10n::t(QStringLiteral("speech.alias.added"), language).arg(wrong, right));
        return;
    }
    done(L10n::t(QStringLiteral("speech.alias.refused"), language));
}
