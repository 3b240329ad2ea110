#pragma once

#include "Platform/IcalTree.h"
#include "Skills/CalendarEvent.h"

#include <optional>

// Reading the calendar files of the folder with libical. Sizes are checked before libical
// sees a byte: its parser takes time growing with the square of a line's length (one line of
// 16 MiB holds it for over a minute), so it is never handed a file larger than
// kMaxFileBytes nor a line longer than kMaxLineBytes (folded lines count one by one).
namespace IcalReader {

constexpr qint64 kMaxFileBytes = 8 << 20;
constexpr qsizetype kMaxLineBytes = 128 << 10;

// The file's calendars as libical reads them, for listing: its over-long lines left out,
// and said in the log. Nothing, with the reason logged, when the file cannot be read, is
// too large or is no iCalendar: one file out of reach must not take the calendar with it.
IcalTree::Owned readForListing(const QString& path);
// The file parsed for a change that will be written back over it. Nothing, with the reason,
// unless writing what libical made of it gives back the file: one VCALENDAR, read in full
// and without repairs. The file is then left as it is.
IcalTree::Owned readForChange(const QString& path, QString* error);

// The calendars of a parsed file: the root itself, or the VCALENDARs it wraps.
QList<icalcomponent*> calendarsOf(icalcomponent* root);

// A VEVENT's fields; nothing without UID or start. Without DTEND, DURATION gives the end,
// and without either it ends when it starts.
std::optional<CalendarEvent> eventOf(icalcomponent* vevent);

}  // namespace IcalReader
