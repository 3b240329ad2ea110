#pragma once

#include "Platform/IcalRecurrence.h"
#include "Skills/CalendarEvent.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <libical/ical.h>

#include <optional>
#include <utility>

// The single occurrences of a series. Each stands on its own through its id, the series' UID,
// "#" and its original start in UTC; a change to one is an override (a VEVENT of the series'
// UID whose RECURRENCE-ID names the original start), its removal an EXDATE of the series.
namespace IcalOverrides {

// What an event id names: a whole event or series, or one occurrence of a series.
struct Key {
    QString uid;
    std::optional<QDateTime> occurrence;  // the original start, for one occurrence
};

Key keyOf(const QString& id);

// The event's own VEVENT (not an override of one of its occurrences).
icalcomponent* masterOf(icalcomponent* calendar, const QString& uid);

// An override, with the original start it replaces.
struct Override {
    icalcomponent* vevent;
    QDateTime replaces;
};
using Overrides = QList<Override>;
// The overrides among a calendar's VEVENTs by the UID of their series, in file order: found in
// one walk, so a file of many series is not walked again for each.
QHash<QString, Overrides> overridesByUid(const QList<icalcomponent*>& vevents);
// The overrides of one series, for a question about it alone.
Overrides overridesOf(icalcomponent* calendar, const QString& uid);

struct Occurrences {
    QList<CalendarEvent> events;
    IcalRecurrence::Cut cut = IcalRecurrence::Cut::none;  // why the series may have more in the window
};
// The occurrences of the series (`series` being its own VEVENT's fields, `overrides` its
// overrides) that overlap the window, each as its override says where it has one; an override
// counts by its own times.
Occurrences occurrencesBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                               const QDateTime& from, const QDateTime& to, IcalRecurrence::Budget& budget);
// The occurrence that originally starts at `at`: its override, else the series moved there
// when its rules give one then; nothing when it was taken out.
std::optional<CalendarEvent> occurrenceAt(icalcomponent* master, const CalendarEvent& series,
                                          const Overrides& overrides, const QDateTime& at);

// The override of the occurrence, made from the series (its fields, without its rules) when
// it has none yet: a change to one occurrence always lands in one override.
icalcomponent* overrideFor(icalcomponent* calendar, icalcomponent* master, const QDateTime& originalStart);
// Takes the occurrence out of the series: its override goes, and the series leaves it out.
void removeOccurrence(icalcomponent* calendar, icalcomponent* master, const QDateTime& originalStart);

}  // namespace IcalOverrides
