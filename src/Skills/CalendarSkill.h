#pragma once

#include "Skills/CalendarEvent.h"
#include "Skills/Skill.h"

#include <memory>
#include <optional>

class CalendarCall;
class CalendarStore;
class Scheduler;
class SkillWorker;

// What the five calendar skills share: the store, the clock that says what "now" and
// "today" are, the worker their calls are answered on, and the texts of dates and events.
// A run hands the call to the worker, so reading and writing the calendar never holds up the
// window; the five share one worker, so their calls are answered one at a time, in order.
class CalendarSkill : public Skill {
public:
    // The date of an argument: ISO 8601 with or without fractional seconds, with a zone or,
    // without one, in local time (seconds optional); "yyyy-MM-dd HH:mm"; "yyyy-MM-dd";
    // "MM/dd HH:mm" and "M월 d일 HH:mm" in `currentYear`. The result is in local time.
    static std::optional<QDateTime> parseDate(const QString& text, int currentYear);
    // "M월 d일 HH:mm — title @ location" in local time; no " @ " part without a location.
    static QString formatEvent(const CalendarEvent& event);
    // The title as said: "(제목 없음)" for none.
    static QString shownTitle(const QString& title);

    // Answers on the worker; `done` is called on the thread that called run().
    void run(const SkillArgs& args, Completion done) final;

protected:
    // How a skill answers one call; it runs on the worker, so it may touch nothing but the call.
    using Answer = void (*)(CalendarCall& call);

    // `store` and `clock` must outlive the skill; the store is only used on the worker.
    CalendarSkill(const char* id, bool requiresConfirmation, Answer answer, CalendarStore& store,
                  const Scheduler& clock, std::shared_ptr<SkillWorker> worker);

private:
    const Answer m_answer;
    CalendarStore& m_store;
    const Scheduler& m_clock;
    const std::shared_ptr<SkillWorker> m_worker;
};
