#pragma once

#include "Platform/IcalTree.h"
#include "Skills/CalendarEvent.h"
#include "Skills/CalendarStore.h"

#include <functional>
#include <optional>

// Reading the calendar files of the folder with libical. Its parser takes time growing with the
// square of a line's length (one line of 16 MiB holds it for over a minute), so it is never
// handed a line longer than kMaxLineBytes (folded lines count one by one).
namespace IcalReader {

// The largest file listed: years of a busy calendar exported whole are tens of MiB, and a file
// is read a component at a time, so its size costs time, not memory.
constexpr qint64 kMaxListedBytes = qint64(256) << 20;
// The largest file changed: a change holds the whole file as libical parsed it and writes it
// back.
constexpr qint64 kMaxChangedBytes = 8 << 20;
constexpr qsizetype kMaxLineBytes = 128 << 10;

// VEVENTs of a file, each a child of `calendar`, a VCALENDAR that holds the VTIMEZONEs of
// theirs, so that their times read as in the whole file.
using Events = std::function<void(icalcomponent* calendar, const QList<icalcomponent*>& vevents)>;

// Reads the file a component at a time, never holding it whole: a VEVENT that stands alone is
// handed to `events` as soon as it is read; a series and the overrides of occurrences are
// kept until their VCALENDAR ends and handed over together, since an override may come
// before its series. Over-long lines are left out, and said in the log. Returns why the file
// was left out (then logged): it cannot be read (what was read of it before a failure has
// been handed over), is larger than kMaxListedBytes or holds no iCalendar. One file out of
// reach must not take the calendar with it.
std::optional<CalendarStore::LeftOut::Reason> readForListing(const QString& path, const Events& events);
// The file parsed for a change that will be written back over it. Nothing, with the reason,
// unless writing what libical made of it gives back the file: one VCALENDAR, read in full
// and without repairs, of at most kMaxChangedBytes. The file is then left as it is.
IcalTree::Owned readForChange(const QString& path, QString* error);

// A VEVENT's fields; nothing without UID or start. Without DTEND, DURATION gives the end,
// and without either it ends when it starts.
std::optional<CalendarEvent> eventOf(icalcomponent* vevent);

}  // namespace IcalReader
