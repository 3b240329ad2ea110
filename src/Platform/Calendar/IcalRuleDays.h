#pragma once

#include <QtGlobal>

#include <libical/ical.h>

#include <optional>

// The days a rule by months or by years picks, worked out from the calendar alone. libical
// looks for the next month (year) that holds a day of such a rule without heeding its UNTIL,
// up to the year 20000, so a rule on a day that never comes (30 February) holds a question
// for seconds each time it is walked; its walk asks here first. The days are read as libical
// reads them: BYMONTHDAY limited by BYDAY, whose ordinals count in the month (in the year
// for a yearly rule without BYMONTH), BYYEARDAY limited by the others, BYSETPOS counting
// days, and what a rule leaves out taken from its start.
namespace IcalRuleDays {

// The day's number in one count of days for every year of the Gregorian calendar (which has
// a year 0 here, unlike QDate's), from the start of the Julian period.
qint64 dayNumber(qint64 year, int month, int day);

// Whether one of the rule's months (years), counted in its INTERVAL from that of `start`,
// holds a day it picks. A whole turn of the calendar is gone through (400 years, after which
// every month starts on the same weekday again), each kind of month looked at once, so a rule
// without such a day never gives an occurrence after its start. Adds how many days were looked
// at to `looked`; nothing once they are more than `most`. Not for a rule by week numbers
// (expandsWeeks).
std::optional<bool> fallsOnADay(const icalrecurrencetype& rule, icaltimetype start, qint64 most, qint64& looked);

// Whether libical gives the days of a yearly rule by week numbers as the rule means them: its
// weeks are the 2nd to the 51st from either end of the year, begin on Monday and are limited
// by plain weekdays alone (BYDAY without numbers; BYHOUR, BYMINUTE, BYSECOND may add times).
// Elsewhere it misplaces or misses days: in the weeks at either end of the year, in weeks
// that begin on another day, in January with BYMONTH, and without BYDAY. Every year holds
// the weeks and days of such a rule.
bool expandsWeeks(const icalrecurrencetype& rule);

}  // namespace IcalRuleDays
