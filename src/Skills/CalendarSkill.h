#pragma once

#include "Skills/CalendarEvent.h"
#include "Skills/Skill.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <optional>

class CalendarStore;
class Scheduler;

// What the five calendar skills share: the store, the clock that says what "now" and
// "today" are, reading date arguments, finding the event a call means and the event line.
class CalendarSkill : public Skill {
public:
    // The date of an argument: ISO 8601 with or without fractional seconds, with a zone or,
    // without one, in local time (seconds optional); "yyyy-MM-dd HH:mm"; "yyyy-MM-dd";
    // "MM/dd HH:mm" and "M월 d일 HH:mm" in `currentYear`. The result is in local time.
    static std::optional<QDateTime> parseDate(const QString& text, int currentYear);
    // "M월 d일 HH:mm — title @ location" in local time; "(제목 없음)" for no title, no
    // " @ " part without a location.
    static QString formatEvent(const CalendarEvent& event);

protected:
    // `store` and `clock` must outlive the skill.
    CalendarSkill(const char* id, bool requiresConfirmation, CalendarStore& store, const Scheduler& clock);

    using Dates = QMap<QString, QDateTime>;

    QDateTime now() const;
    // The dates of the non-empty arguments among `keys`. When one does not parse, answers
    // that the time was not understood and gives nothing: the calendar stays as it is.
    std::optional<Dates> readDates(const SkillArgs& args, const QStringList& keys, const Completion& done) const;
    // Every event; when the store is out of reach, answers so and gives nothing.
    std::optional<QList<CalendarEvent>> loadEvents(const Completion& done) const;
    // The event a change means, after reading the dates of `dateKeys` into `dates`: the one
    // whose id is "id", else the one starting nearest the first date among `timeKeys`, at
    // most 30 minutes away. On any failure answers (not found: the 404 error) and gives nothing.
    std::optional<CalendarEvent> targetEvent(const SkillArgs& args, const QStringList& dateKeys,
                                             const QStringList& timeKeys, Dates& dates, const Completion& done) const;
    // "<prefix><count>건. " and the lines of the first `maxLines` events overlapping the window.
    void listEvents(const QDateTime& from, const QDateTime& to, const QString& emptySentence, const QString& prefix,
                    qsizetype maxLines, const Completion& done) const;
    // Saves the event and answers `sentence`, or the store's failure.
    void save(const CalendarEvent& event, const QString& sentence, const Completion& done) const;
    // A failure of the store itself, passed on as an error.
    static SkillError storeError(const QString& reason);

    CalendarStore& m_store;

private:
    const Scheduler& m_clock;
};
