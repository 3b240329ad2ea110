#include "Skills/MailComposeSkill.h"

#include "Skills/SkillRegistry.h"
#include "Support/DesktopWorkspace.h"

MailComposeSkill::MailComposeSkill(DesktopWorkspace& workspace)
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID)), true),
      m_workspace(workspace)
{
}

std::optional<QUrl> MailComposeSkill::mailLink(const SkillArgs& args)
{
    const QString to = args.value(QStringLiteral("to"));
    // Without a host, a path that starts with "//" would be read as one.
    if (to.startsWith(QStringLiteral("//")))
        return std::nullopt;
    // Characters an address may carry stay as they are; the rest is encoded.
    QByteArray link = "mailto:" + QUrl::toPercentEncoding(to, "@,+!$*'();:=");
    QByteArray separator = "?";
    for (const char* key : {"subject", "body"}) {
        const QString value = args.value(QLatin1String(key));
        if (value.isEmpty())
            continue;
        link += separator + key + '=' + QUrl::toPercentEncoding(value);
        separator = "&";
    }
    const QUrl url = QUrl::fromEncoded(link, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QString MailComposeSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language)
        .arg(args.value(QStringLiteral("to"), QStringLiteral("?")),
             args.value(QStringLiteral("subject"), L10n::t(QStringLiteral("skill.untitled"), language)));
}

void MailComposeSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    const std::optional<QUrl> link = mailLink(args);
    if (!link)
        done(SkillError::skill(400, L10n::t("speech.mail.no_address", language)));
    else if (!m_workspace.openUrl(*link))
        done(L10n::t("speech.mail.no_program", language));
    else
        done(L10n::t("speech.mail.opened", language));
}
