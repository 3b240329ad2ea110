#pragma once

#include "Skills/Skill.h"

#include <QUrl>

#include <optional>

class DesktopWorkspace;

// "mail.compose": opens a draft in the user's default mail program through a "mailto:" link;
// the user reviews and sends it, the system never sends mail.
class MailComposeSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "mail.compose";

    // `workspace` must outlive the skill.
    explicit MailComposeSkill(DesktopWorkspace& workspace);

    // "mailto:" + the address, then "subject" and "body" query items for the non-empty ones,
    // every value percent-encoded; nothing when the address would read as a host ("//…").
    static std::optional<QUrl> mailLink(const SkillArgs& args);

    QString summary(const SkillArgs& args, AppLanguage language) const override;
    // A link that cannot be formed is a skill error (400); a link no program takes is
    // answered with a sentence saying so.
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;

private:
    DesktopWorkspace& m_workspace;
};
