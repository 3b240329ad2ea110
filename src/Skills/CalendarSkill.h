#pragma once

#include "Skills/Skill.h"

#include <initializer_list>
#include <memory>

class CalendarCall;
class CalendarStore;
class Scheduler;
class SkillWorker;

// What the five calendar skills share: the store, the clock that says what "now" and
// "today" are, and the worker their calls are answered on.
// A run hands the call to the worker, so reading and writing the calendar never holds up the
// window; the five share one worker, so their calls are answered one at a time, in order.
class CalendarSkill : public Skill {
public:
    // Answers on the worker; `done` is called on the thread that made the worker.
    void run(const SkillArgs& args, AppLanguage language, Completion done) final;

protected:
    // How a skill answers one call; it runs on the worker, so it may touch nothing but the call.
    using Answer = void (*)(CalendarCall& call);

    // The first of the arguments given a value, or "?": how a summary names the event meant
    // (the manifest's example carries empty values).
    static QString firstGiven(const SkillArgs& args, std::initializer_list<const char*> keys);

    // `store` and `clock` must outlive the skill; the store is only used on the worker.
    CalendarSkill(const char* id, bool requiresConfirmation, Answer answer, CalendarStore& store,
                  const Scheduler& clock, std::shared_ptr<SkillWorker> worker);

private:
    const Answer m_answer;
    CalendarStore& m_store;
    const Scheduler& m_clock;
    const std::shared_ptr<SkillWorker> m_worker;
};
