#pragma once

#include "Skills/CalendarEvent.h"
#include "Skills/Skill.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>

#include <optional>

class CalendarStore;

// One call of a calendar skill, answered on the calendar's worker: its arguments, "now" as
// the call came, the store, and the answer once given. What the five skills share: reading
// date arguments, finding the event a change means, listing a window, saving, and the texts
// of dates and events. Each step
// that fails gives the answer itself and nothing back, so a skill stops at the first.
class CalendarCall {
public:
    using Dates = QMap<QString, QDateTime>;

    // The date of an argument: ISO 8601 with or without fractional seconds, with a zone or,
    // without one, in local time (seconds optional); "yyyy-MM-dd HH:mm"; "yyyy-MM-dd";
    // "MM/dd HH:mm" and "M월 d일 HH:mm" in `currentYear`. The result is in local time.
    static std::optional<QDateTime> parseDate(const QString& text, int currentYear);
    // "M월 d일 HH:mm — title @ location" in local time; no " @ " part without a location.
    static QString formatEvent(const CalendarEvent& event);
    // The title as said: "(제목 없음)" for none.
    static QString shownTitle(const QString& title);

    CalendarCall(CalendarStore& store, SkillArgs args, QDateTime now);

    const SkillArgs& args() const { return m_args; }
    const QDateTime& now() const { return m_now; }

    void answer(Skill::Outcome outcome);
    // The answer given (a skill answers every call).
    const Skill::Outcome& outcome() const;

    // Whether the store can be reached; answers so when it cannot.
    bool reachable();
    // The dates of the non-empty arguments among `keys`. When one does not parse, answers
    // that the time was not understood and gives nothing: the calendar stays as it is.
    std::optional<Dates> readDates(const QStringList& keys);
    // The event a change means, after reading the dates of `dateKeys` into `dates`: the one
    // whose id is "id", else the one starting nearest the first date among `timeKeys`, at
    // most 30 minutes away. On any failure answers (not found: the 404 error) and gives nothing.
    std::optional<CalendarEvent> targetEvent(const QStringList& dateKeys, const QStringList& timeKeys, Dates& dates);
    // Answers "<prefix><count>건. " and the lines of the first `maxLines` events overlapping
    // the window, or `emptySentence`; and which series were too many to count in full.
    void list(const QDateTime& from, const QDateTime& to, const QString& emptySentence, const QString& prefix,
              qsizetype maxLines);
    // Saves the event and answers `sentence`, or the store's failure.
    void save(const CalendarEvent& event, const QString& sentence);
    // Removes the event and answers `sentence`, or the store's failure.
    void remove(const CalendarEvent& event, const QString& sentence);

private:
    // Answers that the calendar is out of reach, for `reason`.
    void unreachable(const QString& reason);

    CalendarStore& m_store;
    SkillArgs m_args;
    QDateTime m_now;
    std::optional<Skill::Outcome> m_outcome;
};
