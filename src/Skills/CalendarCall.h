#pragma once

#include "Skills/CalendarEvent.h"
#include "Skills/CalendarStore.h"
#include "Skills/Skill.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>

#include <optional>


// One call of a calendar skill, answered on the calendar's worker: its arguments, "now" and
// the answer's language as the call came, the store, and the answer once given. What the five
// skills share: reading date arguments, finding the event a change means, listing a window,
// saving, and the texts of dates and events. Each step that fails gives the answer itself
// and nothing back, so a skill stops at the first.
class CalendarCall {
public:
    using Dates = QMap<QString, QDateTime>;

    // The date of an argument: ISO 8601 with or without fractional seconds, with a zone or,
    // without one, in local time (seconds optional); "yyyy-MM-dd HH:mm"; "yyyy-MM-dd";
    // "MM/dd HH:mm" and "M월 d일 HH:mm" in `currentYear`. The result is in local time.
    static std::optional<QDateTime> parseDate(const QString& text, int currentYear);

    CalendarCall(CalendarStore& store, SkillArgs args, QDateTime now, AppLanguage language);

    const SkillArgs& args() const { return m_args; }
    const QDateTime& now() const { return m_now; }

    // The text of `key` in the answer's language.
    QString text(const char* key) const;
    // "<start> — title @ location", the start in local time as the language says a date
    // ("M월 d일 HH:mm" in Korean); no " @ " part without a location.
    QString formatEvent(const CalendarEvent& event) const;
    // The title as said: "(제목 없음)", or its like, for none.
    QString shownTitle(const QString& title) const;

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
    // The sentences of a listing: none, exactly one (%1 its line), several (%1 how many, %2
    // the lines).
    struct ListTexts {
        const char* none;
        const char* one;
        const char* several;
    };
    // Answers with the count and the lines of the first `maxLines` events overlapping the
    // window, which series were not counted in full and why, and which files could not be
    // read; a few of each by name, the rest counted.
    void list(const QDateTime& from, const QDateTime& to, const ListTexts& texts, qsizetype maxLines);
    // Adds the new event and answers `sentence`, or the store's failure.
    void add(const CalendarEvent& event, const QString& sentence);
    // Saves the event and answers `sentence`, or the store's failure.
    void save(const CalendarEvent& event, const QString& sentence);
    // Removes the event and answers `sentence`, or the store's failure.
    void remove(const CalendarEvent& event, const QString& sentence);

private:
    // A file a listing left out, named with why.
    QString leftOut(const CalendarStore::LeftOut& file) const;
    // The first few of the names, once each, and how many more there are.
    QString few(QStringList names) const;
    // Answers that the calendar is out of reach, for `reason`.
    void unreachable(const QString& reason);
    // Answers `sentence` when the store made the change, else its failure.
    void changed(bool done, const QString& error, const QString& sentence);

    CalendarStore& m_store;
    SkillArgs m_args;
    QDateTime m_now;
    AppLanguage m_language;
    std::optional<Skill::Outcome> m_outcome;
};
