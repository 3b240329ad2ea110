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

void AliasAddSkill::run(const SkillArgs& args, Completion done)
{
    const QString wrong = Text::trimmed(args.value(QStringLiteral("wrong")));
    const QString right = Text::trimmed(args.value(QStringLiteral("right")));
    if (!wrong.isEmpty() && !right.isEmpty() && AliasStore::add(wrong, right)) {
        done(QStringLiteral("기억했어요. 다음부터는 %1 을(를) %2 로 자동 수정할게요.").arg(wrong, right));
        return;
    }
    done(QStringLiteral("알 수 없는 입력이라 자동 수정을 등록하지 못했어요."));
}
