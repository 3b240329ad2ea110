#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>

#include <libical/ical.h>

// The occurrences of a series: its RRULEs expanded in the wall-clock time of its DTSTART (so a
// weekly 10:00 stays at 10:00 across a change of daylight saving), its RDATEs and its DTSTART,
// less its EXDATEs. The work is bounded whatever a file holds: in one window a series gives
// at most kMaxPerSeries occurrences and walks at most kMaxStepsPerSeries periods of its rules,
// and the series of one question share a Budget. A rule without COUNT that repeats within
// weeks starts its walk just before the window, not at its DTSTART years ago.
namespace IcalRecurrence {

constexpr int kMaxPerSeries = 100;
constexpr int kMaxStepsPerSeries = 20000;

// What one question may still spend on all the series it expands.
struct Budget {
    int occurrences = 500;
    int steps = 100000;
};

struct Starts {
    QList<QDateTime> starts;  // ascending
    bool cut = false;  // a limit was reached: the series may have more in the window
};

bool isRecurring(icalcomponent* vevent);
// The instants its EXDATEs take out of the series.
QSet<qint64> excluded(icalcomponent* master);
// The original starts of the occurrences lasting `length` seconds that overlap [from, to)
// (one of no length counts when it starts inside), less `excluded` (the series' own, read
// once by the caller, which needs them too).
Starts between(icalcomponent* master, const QSet<qint64>& excluded, qint64 length, const QDateTime& from,
               const QDateTime& to, Budget& budget);

}  // namespace IcalRecurrence
