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

QString RestSkill::confirmation(int minutes)
{
    QString duration;
    if (minutes >= 60 && minutes % 60 == 0)
        duration = QString::number(minutes / 60) + QStringLiteral("시간");
    else if (minutes < 60)
        duration = QString::number(minutes) + QStringLiteral("분");
    else
        duration = QStringLiteral("%1시간 %2분").arg(minutes / 60).arg(minutes % 60);
    return QStringLiteral("네, ") + duration + QStringLiteral(" 쉴게요. 필요하면 '당근 당근' 하고 불러주세요.");
}

QString RestSkill::summary(const SkillArgs& args) const
{
    return QString::number(minutes(args)) + QStringLiteral("분 동안 쉬기");
}

void RestSkill::run(const SkillArgs& args, Completion done)
{
    const int n = minutes(args);
    m_command.setRestWindow(m_clock.wallNow().addSecs(n * 60LL));
    done(confirmation(n));
}
