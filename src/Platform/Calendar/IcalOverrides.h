#pragma once

#include "Platform/Calendar/IcalIdentity.h"
#include "Platform/Calendar/IcalRecurrence.h"
#include "Skills/CalendarEvent.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <libical/ical.h>

#include <optional>

// The single occurrences of a series. Each stands on its own through its id, the series' UID,
// "#" and its original start in UTC; a change to one is an override (a VEVENT of the series'
// UID whose RECURRENCE-ID names the original start), its removal an EXDATE of the series
// (both written by IcalEventChange).
namespace IcalOverrides {

// What an event id names: a whole event or series, or one occurrence of a series.
struct Key {
    QString uid;
    std::optional<QDateTime> occurrence;  // the original start, for one occurrence
};

Key keyOf(const QString& id);
QString occurrenceId(const QString& uid, const QDateTime& originalStart);

// The original start an override replaces. Of a series of dates it is a date, also where the
// RECURRENCE-ID is written as a date-time: its date as written.
std::optional<QDateTime> replacedBy(icalcomponent* override, bool seriesOfDates);
// Whether the series (or a detached override) runs from date to date.
bool ofDates(icalcomponent* vevent);

// An override, with the original start it replaces.
struct Override {
    icalcomponent* vevent;
    QDateTime replaces;
    IcalIdentity::Rank rank;
};
using Overrides = QList<Override>;
// The overrides of the UID among `components`, in file order; of several for one occurrence,
// the winning copy. Whether the series is of dates; without a series, each override's own
// DTSTART says.
Overrides overridesOf(const QList<IcalIdentity::Component>& components, const QString& uid,
                      std::optional<bool> seriesOfDates);

// The override of the occurrence that originally starts at `originalStart`, or null.
const Override* overrideAt(const Overrides& overrides, const QDateTime& originalStart);

struct Occurrences {
    QList<CalendarEvent> events;
    IcalRecurrence::Cut cut = IcalRecurrence::Cut::none;  // why the series may have more in the window
};
// The overrides of the series (`series` being its own VEVENT's fields) that overlap the window
// by their own times, less those of occurrences it takes out: all a series lists there when
// its dates and rules cannot reach it (IcalRecurrence::mayReach).
QList<CalendarEvent> changedBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                                    const QDateTime& from, const QDateTime& to);
// The occurrences of the series (`series` being its own VEVENT's fields, `overrides` its
// overrides) that overlap the window, each as its override says where it has one; an override
// counts by its own times.
Occurrences occurrencesBetween(icalcomponent* master, const CalendarEvent& series, const Overrides& overrides,
                               const QDateTime& from, const QDateTime& to, IcalRecurrence::Budget& budget);
// The occurrence that originally starts at `at`: its override, else the series moved there
// when its rules give one then; nothing when it was taken out.
std::optional<CalendarEvent> occurrenceAt(icalcomponent* master, const CalendarEvent& series,
                                          const Overrides& overrides, const QDateTime& at);
// The override as an occurrence of its own, named after the start it replaces.
std::optional<CalendarEvent> occurrenceOf(const Override& override, const QString& uid);

}  // namespace IcalOverrides
