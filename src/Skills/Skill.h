#pragma once

#include "Persistence/AppLanguage.h"
#include "Persistence/L10n.h"
#include "Skills/SkillArgs.h"
#include "Skills/SkillError.h"

#include <QString>

#include <functional>
#include <variant>

// A tool the language model can call with one JSON line. The id, the manifest line shown to
// the model and whether the user must approve a call are fixed when the skill is made.
// Skills are called on the GUI thread; work that may take a while goes to a SkillWorker.
class Skill {
public:
    // The sentence for the user, or why the run failed.
    using Outcome = std::variant<QString, SkillError>;
    using Completion = std::function<void(Outcome)>;

    Skill(QString id, QString manifest, bool requiresConfirmation = false)
        : m_id(std::move(id)), m_manifest(std::move(manifest)), m_requiresConfirmation(requiresConfirmation)
    {
    }
    virtual ~Skill() = default;

    const QString& id() const { return m_id; }
    const QString& manifest() const { return m_manifest; }
    bool requiresConfirmation() const { return m_requiresConfirmation; }

    // Localization keys of the skill's display name and of an example request.
    QString nameKey() const { return QStringLiteral("skill.") + m_id + QStringLiteral(".name"); }
    QString exampleKey() const { return QStringLiteral("skill.") + m_id + QStringLiteral(".example"); }
    // Localization key of the text describing a call; "%1", "%2" stand for its arguments.
    QString summaryKey() const { return QStringLiteral("skill.") + m_id + QStringLiteral(".summary"); }

    // A short description of the call in the language given (the approval card's, or the
    // voice's for the spoken question); no side effects, never fails. By default the text of
    // summaryKey(), for skills whose calls all read alike.
    virtual QString summary(const SkillArgs&, AppLanguage language) const { return L10n::t(summaryKey(), language); }
    // Performs the skill and calls `done` exactly once on the GUI thread (possibly before
    // returning). The answer, and any error, is said in `language`: the caller's voice's, taken
    // when the call starts, since a skill may answer from another thread.
    virtual void run(const SkillArgs& args, AppLanguage language, Completion done) = 0;

private:
    QString m_id;
    QString m_manifest;
    bool m_requiresConfirmation;
};
