#include "Skills/SkillRegistry.h"

#include "Support/FileIO.h"

#include <QStringList>

namespace {
QString resourceText(const char* name)
{
    const auto bytes = FileIO::readAll(QStringLiteral(":/Skills/") + QLatin1String(name));
    Q_ASSERT_X(bytes, "SkillRegistry", "built-in text missing");
    return QString::fromUtf8(bytes.value_or(QByteArray()));
}
}  // namespace

void SkillRegistry::add(std::shared_ptr<Skill> skill)
{
    const QString id = skill->id();
    m_skills[id] = std::move(skill);
}

std::shared_ptr<Skill> SkillRegistry::skill(const QString& id) const
{
    const auto it = m_skills.find(id);
    return it == m_skills.end() ? nullptr : it->second;
}

QList<std::shared_ptr<Skill>> SkillRegistry::allSkills() const
{
    QList<std::shared_ptr<Skill>> result;
    for (const auto& [id, skill] : m_skills)
        result.append(skill);
    return result;
}

QString SkillRegistry::toolsManifest(const QSet<QString>& disabledIDs) const
{
    QStringList lines;
    for (const auto& [id, skill] : m_skills)
        if (!disabledIDs.contains(id))
            lines.append(QStringLiteral("- ") + skill->manifest());
    if (lines.isEmpty())
        return resourceText("tools-none.md");
    static const QString kHeader = resourceText("tools-header.md");
    return kHeader + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

QString SkillRegistry::builtInManifest(const QString& id)
{
    static const QStringList kManifests = resourceText("manifests.txt").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString prefix = id + QStringLiteral(" — ");
    for (const QString& manifest : kManifests)
        if (manifest.startsWith(prefix))
            return manifest;
    return {};
}
