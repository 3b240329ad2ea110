#pragma once

#include "Platform/Calendar/IcalComponentText.h"
#include "Skills/CalendarEvent.h"

#include <QDateTime>

#include <libical/ical.h>

// What a change to an event writes into the text of its VEVENT: the properties whose values
// change and no other. Times are written in the form they have (a date stays a date, a TZID
// stays with the VTIMEZONE the file holds, floating stays floating, UTC stays UTC; an end
// given as DURATION stays a duration), and only where that form cannot hold the new time (a
// date moved to a time of day) in UTC. A change stamps the VEVENT (DTSTAMP, LAST-MODIFIED),
// and one to its times or occurrences counts as a new revision (SEQUENCE).
//
// `vevent` is libical's reading of the text, inside a calendar holding the file's zones: it
// says how each time is written.
namespace IcalEventChange {

// Makes `text` say `now` where it says `was`; nothing when they are the same.
void change(IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now);

// The text of a new override of one occurrence of the series `text` (`vevent`): the series'
// own properties without its rules, the occurrence's times and RECURRENCE-ID in the series'
// form, and what `now` changes of `occurrence`.
QByteArray overrideOf(const IcalComponentText& text, icalcomponent* vevent, const CalendarEvent& occurrence,
                      const CalendarEvent& now);

// Takes the occurrence that originally starts at `originalStart` out of the series: an EXDATE
// in the form of its DTSTART.
void exclude(IcalComponentText& text, icalcomponent* vevent, const QDateTime& originalStart);

// Gives a VEVENT without UID the name it is known by, before it is changed: its text, and so
// the name made from it, changes.
void pinUid(IcalComponentText& text, icalcomponent* vevent, const QString& uid);

}  // namespace IcalEventChange
