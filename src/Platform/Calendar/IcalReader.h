#pragma once

#include "Platform/Calendar/IcalIdentity.h"
#include "Platform/Calendar/IcalTree.h"
#include "Skills/CalendarEvent.h"
#include "Skills/CalendarStore.h"

#include <functional>
#include <optional>

// Reading the calendar files of the folder with libical, which is never handed a line longer
// than IcalSplitter::kMaxLineBytes nor components nested deeper than IcalSplitter::kMaxDepth.
// Only regular files are opened: a FIFO would hold the reader until someone writes to it.
namespace IcalReader {

// The largest file listed: years of a busy calendar exported whole are tens of MiB, and a file
// is read a component at a time, so its size costs time, not memory.
constexpr qint64 kMaxListedBytes = qint64(256) << 20;

// The text VEVENTs were read from, with their places in the file, and the VTIMEZONEs of their
// calendar: kept instead of their trees, a small part of what those take, to read them again.
struct Text {
    struct Vevent {
        qint64 position;
        QByteArray lines;  // what is read of it
        size_t fingerprint;  // of its whole text
    };
    QList<QByteArray> zones;
    QList<Vevent> vevents;
    // Not what the reading sought: its VEVENTs were read from the lines that say which copy of
    // the event wins alone (their first and last, UID, SEQUENCE, DTSTART, RRULE, RDATE,
    // RECURRENCE-ID, and a line of each zone they name), to be noted, not listed.
    bool passedOver = false;
};

// A span of time, [from, to).
struct Window {
    QDateTime from;
    QDateTime to;
};

// What a reading hands over in full: the event of `uid` wherever it is, and every event that
// may have an occurrence in `window` as the text of its VEVENTs says (IcalTextWindow). Other
// events are passed over, unless their text alone cannot name them (no UID), libical cannot
// read it whole (a NUL byte), or they are overrides whose series is not in their calendar.
// Nothing sought: every event in full.
struct Sought {
    std::optional<Window> window = {};
    QString uid = {};
    bool everything() const { return !window && uid.isEmpty(); }
};

// VEVENTs of a file, each a child of `calendar`, a VCALENDAR that holds the VTIMEZONEs of
// theirs, so that their times read as in the whole file; placed in the order of the file; and
// their text.
using Events =
    std::function<void(icalcomponent* calendar, const QList<IcalIdentity::Component>& vevents, const Text& text)>;

// Reads the file a component at a time, never holding it whole: a VEVENT that stands alone is
// handed to `events` as soon as it is read; the text of a series and of the overrides of its
// occurrences is kept until their VCALENDAR ends, since an override may come before its
// series, and then each series is read and handed over with its overrides (and every other
// copy of its UID that is a series or an override), one UID at a time. A VEVENT with a UID
// holds only what a listing reads of it (its fields, UID, SEQUENCE, rules and dates, the
// occurrence it replaces, and the properties that name a zone); its text, too. Over-long lines
// are left out, and said in the log. Returns why the file was left out, or not read in full
// (then logged): it is not a regular file, cannot be read (what was read of it before a
// failure has been handed over), is larger than kMaxListedBytes, holds no iCalendar, or is
// damaged (its other events have been handed over; an event holding a NUL byte, which no
// change can be made to, counts too). One file out of reach must not take the calendar with
// it. An event not `sought` is handed over passed over (Text::passedOver); it
// costs libical's parser a few of its lines, whatever the event holds.
std::optional<CalendarStore::LeftOut::Reason> readForListing(const QString& path, const Events& events,
                                                             const Sought& sought = {});
// Reads the VEVENTs of each text again and hands them over together, as readForListing did,
// with the text's place in `texts`; texts of one calendar in a row share the reading of its
// VTIMEZONEs.
using Reread = std::function<void(qsizetype text, const QList<IcalIdentity::Component>& vevents)>;
void readAgain(const QList<Text>& texts, const Reread& reread);
// A VCALENDAR holding a calendar's VTIMEZONEs, read from their texts, for VEVENTs of that
// calendar to be read inside.
IcalTree::Owned calendarWith(const QList<QByteArray>& zones);
// A VEVENT's whole text, as the splitter hands it over, as a number: a change to the event is
// made only while its text is still what was read.
size_t fingerprintOf(const QByteArray& text);
// The VEVENT of the text, whose TZIDs lead nowhere out of the time zone database (IcalZone::guard);
// nothing when the text is no VEVENT.
IcalTree::Owned veventOf(const QByteArray& text);

// A VEVENT's fields, named by its UID (or the name IcalIdentity makes for one without);
// nothing without a start. Without DTEND, DURATION gives the end, and without either it ends
// when it starts, or a day later for a date.
std::optional<CalendarEvent> eventOf(icalcomponent* vevent);

}  // namespace IcalReader
