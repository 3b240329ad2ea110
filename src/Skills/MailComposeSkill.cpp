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

void MailComposeSkill::run(const SkillArgs& args, Completion done)
{
    const std::optional<QUrl> link = mailLink(args);
    if (!link)
        done(SkillError::skill(400, QStringLiteral("메일 주소가 비어 있어요.")));
    else if (!m_workspace.openUrl(*link))
        done(QStringLiteral("메일 프로그램을 열지 못했어요. 기본 메일 프로그램이 설정되어 있는지 확인해주세요."));
    else
        done(QStringLiteral("메일 작성 창을 열었어요. 내용 확인 후 보내주세요."));
}
