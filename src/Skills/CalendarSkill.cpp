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

QString CalendarSkill::firstGiven(const SkillArgs& args, std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        if (const QString value = args.value(QLatin1String(key)); !value.isEmpty())
            return value;
    return QStringLiteral("?");
}

void CalendarSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    // "Now" is read here: the clock belongs to this thread.
    CalendarCall call(m_store, args, m_clock.wallNow().toLocalTime(), language);
    m_worker->run(
        [answer = m_answer, call]() mutable {
            answer(call);
            return call.outcome();
        },
        std::move(done));
}
