#include "Skills/CalendarDeleteEventSkill.h"

#include "Skills/CalendarStore.h"

CalendarDeleteEventSkill::CalendarDeleteEventSkill(CalendarStore& store, const Scheduler& clock)
    : CalendarSkill(kSkillID, true, store, clock)
{
}

QString CalendarDeleteEventSkill::summary(const SkillArgs& args, AppLanguage language) const
{
    return L10n::t(summaryKey(), language)
        .arg(args.value(QStringLiteral("start"), args.value(QStringLiteral("id"), QStringLiteral("?"))));
}

void CalendarDeleteEventSkill::run(const SkillArgs& args, Completion done)
{
    const QStringList timeKeys = {QStringLiteral("original_start"), QStringLiteral("start")};
    Dates dates;
    const std::optional<CalendarEvent> event = targetEvent(args, timeKeys, timeKeys, dates, done);
    if (!event)
        return;
    QString error;
    if (!m_store.remove(event->id, &error)) {
        done(storeError(error));
        return;
    }
    const QString title = event->title.isEmpty() ? QStringLiteral("(제목 없음)") : event->title;
    done(QStringLiteral("일정 '%1' 삭제했어요.").arg(title));
}
