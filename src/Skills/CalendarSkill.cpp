#include "Skills/CalendarSkill.h"

#include "Skills/CalendarCall.h"
#include "Skills/SkillRegistry.h"
#include "Skills/SkillWorker.h"
#include "Support/Scheduler.h"

CalendarSkill::CalendarSkill(const char* id, bool requiresConfirmation, Answer answer, CalendarStore& store,
                             const Scheduler& clock, std::shared_ptr<SkillWorker> worker)
    : Skill(QLatin1String(id), SkillRegistry::builtInManifest(QLatin1String(id)), requiresConfirmation),
      m_answer(answer), m_store(store), m_clock(clock), m_worker(std::move(worker))
{
}

std::optional<QDateTime> CalendarSkill::parseDate(const QString& text, int currentYear)
{
    if (text.isEmpty())
        return std::nullopt;
    // Qt's ISO reading covers the internet date-time (fraction and zone optional), a blank
    // instead of "T" and a bare date; without a zone it is local time.
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    // The forms without a year get the current one before parsing, so 29 February can exist.
    const QString year = QString::number(currentYear);
    if (!date.isValid())
        date = QDateTime::fromString(year + QLatin1Char('/') + text, QStringLiteral("yyyy/M/d H:mm"));
    if (!date.isValid())
        date = QDateTime::fromString(year + QStringLiteral("년 ") + text, QStringLiteral("yyyy년 M월 d일 H:mm"));
    if (!date.isValid())
        return std::nullopt;
    return date.toLocalTime();
}

QString CalendarSkill::formatEvent(const CalendarEvent& event)
{
    QString line = event.start.toLocalTime().toString(QStringLiteral("M월 d일 HH:mm")) + QStringLiteral(" — ") +
                   shownTitle(event.title);
    if (!event.location.isEmpty())
        line += QStringLiteral(" @ ") + event.location;
    return line;
}

QString CalendarSkill::shownTitle(const QString& title)
{
    return title.isEmpty() ? QStringLiteral("(제목 없음)") : title;
}

void CalendarSkill::run(const SkillArgs& args, Completion done)
{
    // "Now" is read here: the clock belongs to this thread.
    CalendarCall call(m_store, args, m_clock.wallNow().toLocalTime());
    m_worker->run(
        [answer = m_answer, call]() mutable {
            answer(call);
            return call.outcome();
        },
        std::move(done));
}
