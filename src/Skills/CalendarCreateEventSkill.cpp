#include "Skills/CalendarCreateEventSkill.h"

#include "Support/Text.h"

CalendarCreateEventSkill::CalendarCreateEventSkill(CalendarStore& store, const Scheduler& clock)
    : CalendarSkill(kSkillID, true, store, clock)
{
}

QString CalendarCreateEventSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language)
        .arg(args.value(QStringLiteral("title"), L10n::t(QStringLiteral("skill.untitled"), language)),
             args.value(QStringLiteral("start"), QStringLiteral("?")));
}

void CalendarCreateEventSkill::run(const SkillArgs& args, Completion done)
{
    const auto dates = readDates(args, {QStringLiteral("start"), QStringLiteral("end")}, done);
    if (!dates || !loadEvents(done))
        return;
    CalendarEvent event;
    event.id = Text::newUuid();
    event.title = args.value(QStringLiteral("title"), QStringLiteral("Parlivox 일정"));
    event.start = dates->value(QStringLiteral("start"), now().addSecs(3600));
    event.end = dates->value(QStringLiteral("end"), event.start.addSecs(3600));
    event.location = args.value(QStringLiteral("location"));
    event.notes = args.value(QStringLiteral("notes"));
    if (event.end < event.start) {
        done(QStringLiteral("끝나는 시각이 시작 시각보다 앞서서 일정을 만들지 않았어요."));
        return;
    }
    save(event, QStringLiteral("캘린더에 '%1' 추가했어요.").arg(event.title), done);
}
