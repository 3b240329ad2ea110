#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

#include <functional>
#include <optional>

#include <libical/ical.h>

struct CalendarEvent;

// The occurrences of a series: its RRULEs expanded in the wall-clock time of its DTSTART (so a
// weekly 10:00 stays at 10:00 across a change of daylight saving), its RDATEs and its DTSTART,
// less its EXDATEs. The work is bounded whatever a file holds: in one window a series gives
// at most kMaxPerSeries occurrences and walks at most kMaxStepsPerSeries periods of its rules,
// and the series of one question share a Budget of steps and of time, to which each series
// brings kStepsPerSeries and kNanosecondsPerSeries: a question's work grows with the series it
// reads, never faster. A rule that ends before the window (by its UNTIL, or by a COUNT where
// every period is sure to hold an occurrence) or starts after it is decided without walking
// it. A rule without COUNT that repeats within weeks starts its walk just before the window,
// not at its DTSTART years ago; one with COUNT is walked from its DTSTART, and costs the
// periods up to its last occurrence.
namespace IcalRecurrence {

constexpr int kMaxPerSeries = 100;
constexpr int kMaxStepsPerSeries = 20000;
// What working out one more series may cost on its own: a series of a few dozen occurrences
// that ended years ago costs no more.
constexpr int kStepsPerSeries = 64;

// The processor time this thread has spent, in nanoseconds.
qint64 processorTime();

// What walking the rules of one question may take of the thread's processor time: a step of
// one rule costs libical a hundred times what a step of another does, so steps alone do not
// bound it. Each series brings a little more, as it brings steps. Reading files takes none of
// it, so a large folder leaves its rules the same time as a small one.
constexpr qint64 kQuestionNanoseconds = 500'000'000;
constexpr qint64 kNanosecondsPerSeries = 20'000;

// What one question may still spend on all the series it expands, and what it found out
// that series of the same rule and start need not find out again.
struct Budget {
    int occurrences = 500;
    int steps = 100000;
    // Whether a rule by months or years falls on a day after a start, by rule and start.
    QHash<QByteArray, bool> fallsOnADay = {};
    // The processor time the walks may take, in nanoseconds.
    qint64 nanoseconds = kQuestionNanoseconds;
    // The clock that time is read on, in nanoseconds.
    std::function<qint64()> clock = processorTime;

    // Reading the clock costs about what a step does: it is looked at every this many calls.
    static constexpr int kCallsPerLook = 64;

    // A walk of rules starts or ends: only the time between counts.
    void startWalk();
    void endWalk();
    // Whether the walks have taken their time, looking at the clock every kCallsPerLook calls.
    bool outOfTime();

private:
    int m_calls = 0;
    bool m_out = false;
    qint64 m_spent = 0;  // by the walks that ended
    qint64 m_walkStart = 0;
};

// Why a series may have more occurrences in the window than were given.
enum class Cut {
    none,
    repeatsTooOften,  // more than kMaxPerSeries
    // The work ran out (the series' or the question's), or a rule is of a form libical
    // does not expand right.
    unfinished,
};

// How long each occurrence of a series lasts: one of dates lasts whole days, from its date's
// midnight to the midnight of the day its end names, wherever the clocks change; others, the
// seconds from DTSTART to its end.
struct Span {
    qint64 seconds = 0;
    qint64 days = -1;  // for a series of dates
    QDateTime endOf(const QDateTime& start) const;
};
// The span of the series whose own VEVENT's fields are `series`.
Span spanOf(icalcomponent* master, const CalendarEvent& series);

struct Starts {
    QList<QDateTime> starts;  // ascending
    // The ends of the occurrences that end on their own (RDATE periods), by start in seconds
    // since the epoch; the others end as the series' span says.
    QHash<qint64, QDateTime> ends = {};
    Cut cut = Cut::none;
};

// A time's wall clock in seconds, the way a rule counts, for any year (libical's own reading
// gives −1 before 1902, where a walk would then cost nothing).
qint64 wallSeconds(icaltimetype time);
// The wall-clock second (of `start`'s wall clock) before which every occurrence of the rule
// from `start` starts: by its UNTIL, or by its COUNT where every period is sure to hold an
// occurrence; nothing when neither bounds it. Where a rule surely ends, for a walk and for a
// reading of a file's text alike.
std::optional<qint64> startsBefore(const icalrecurrencetype& rule, icaltimetype start);

bool isRecurring(icalcomponent* vevent);
// Whether an occurrence of the series may overlap [from, to): its DTSTART or an RDATE does, or a
// rule may, decided without walking it. Working out one that cannot costs no steps.
bool mayReach(icalcomponent* master, const Span& span, const QDateTime& from, const QDateTime& to);
// The instants its EXDATEs take out of the series.
QSet<qint64> excluded(icalcomponent* master);
// The original starts of the occurrences lasting `span` (or their own period) that overlap
// [from, to) (one of no length counts when it starts inside), less `excluded` (the series' own,
// read once by the caller, which needs them too).
Starts between(icalcomponent* master, const QSet<qint64>& excluded, const Span& span, const QDateTime& from,
               const QDateTime& to, Budget& budget);

}  // namespace IcalRecurrence
