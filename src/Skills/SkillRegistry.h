#pragma once

#include "Skills/Skill.h"

#include <QList>
#include <QSet>
#include <QString>

#include <map>
#include <memory>

// The skills the model may call, by id, and the tool section of the system prompt that
// teaches it the call format. The application's one registry is owned by the composition
// root. GUI thread only.
class SkillRegistry {
public:
    // Stores the skill under its id, replacing one already there.
    void add(std::shared_ptr<Skill> skill);
    // Exact, case-sensitive lookup.
    std::shared_ptr<Skill> skill(const QString& id) const;
    // Every registered skill in ascending id order.
    QList<std::shared_ptr<Skill>> allSkills() const;

    // The tool section: a fixed header and one "- <manifest>" line per skill that is not
    // disabled, in ascending id order; a short "no tools" text when none is left.
    QString toolsManifest(const QSet<QString>& disabledIDs) const;

    // The manifest line of a skill of this system, word for word, or "" for an unknown id.
    static QString builtInManifest(const QString& id);

private:
    std::map<QString, std::shared_ptr<Skill>> m_skills;
};
