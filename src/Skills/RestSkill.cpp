#include "Skills/RestSkill.h"

#include "Skills/RestCommand.h"
#include "Skills/SkillRegistry.h"
#include "Skills/StrictInteger.h"
#include "Support/Scheduler.h"

#include <algorithm>

namespace {
constexpr int kDefaultMinutes = 60;

QStringView trimSpacesAndTabs(QStringView text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}
}  // namespace

RestSkill::RestSkill(RestCommand& command, const Scheduler& clock)
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID))), m_command(command),
      m_clock(clock)
{
}

int RestSkill::minutes(const SkillArgs& args)
{
    const auto it = args.constFind(QStringLiteral("minutes"));
    if (it == args.constEnd())
        return kDefaultMinutes;
    const auto parsed = StrictInteger::parse(trimSpacesAndTabs(*it));
    if (!parsed)
        return kDefaultMinutes;
    return static_cast<int>(std::clamp<std::int64_t>(*parsed, 5, 480));
}

QString RestSkill::confirmation(int minutes, AppLanguage language)
{
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    QString duration;
    if (hours == 0)
        duration = L10n::t("speech.duration_minutes", language).arg(minutes);
    else if (rest == 0)
        duration = hours == 1 ? L10n::t("speech.duration_hour", language)
                              : L10n::t("speech.duration_hours", language).arg(hours);
    else if (hours == 1)
        duration = L10n::t("speech.duration_hour_minutes", language).arg(rest);
    else
        duration =
            L10n::t("speech.duration_hours_minutes", language).arg(QString::number(hours), QString::number(rest));
    return L10n::t("speech.rest_confirmation", language).arg(duration);
}

QString RestSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language).arg(minutes(args));
}

void RestSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    const int n = minutes(args);
    m_command.setRestWindow(m_clock.wallNow().addSecs(n * 60LL));
    done(confirmation(n, language));
}
