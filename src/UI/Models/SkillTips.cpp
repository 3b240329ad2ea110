#include "UI/Models/SkillTips.h"

#include "Persistence/L10n.h"

#include <algorithm>

namespace SkillTips {

Tip tip(const QStringList& skillIDs, const QSet<QString>& disabledIDs, int rotationIndex, AppLanguage language)
{
    QStringList enabled;
    for (const QString& id : skillIDs)
        if (!disabledIDs.contains(id))
            enabled << id;
    if (enabled.isEmpty())
        return {QStringLiteral("lightbulb.slash"), L10n::t(QStringLiteral("tip.skills_off"), language),
                ThemePalette::Named::orange};
    std::sort(enabled.begin(), enabled.end());
    const qsizetype count = enabled.size();
    const QString& id = enabled[((rotationIndex % count) + count) % count];
    const QString example = L10n::t(QStringLiteral("skill.") + id + QStringLiteral(".example"), language);
    return {QStringLiteral("lightbulb.fill"),
            L10n::t(QStringLiteral("tip.try_saying"), language) + QStringLiteral(": ") + example,
            ThemePalette::Named::yellow};
}

}  // namespace SkillTips
