#pragma once

#include "Platform/Calendar/IcalTree.h"
#include "Skills/CalendarEvent.h"

// Writing calendar files. A change sets only an event's own fields on its VEVENT, so what
// another tool put there stays; times keep their IANA zone, with its VTIMEZONE in the file.
namespace IcalWriter {

// An empty VCALENDAR of this program.
IcalTree::Owned newCalendar();
// The event's start, end, title, location and notes onto `vevent` of `calendar`, and a fresh
// DTSTAMP; an empty text takes its property away.
void writeFields(icalcomponent* calendar, icalcomponent* vevent, const CalendarEvent& event);
// Writes the calendar over its file atomically, or removes the file when nothing but time
// zones is left in it.
bool store(const QString& path, icalcomponent* calendar, QString* error);

}  // namespace IcalWriter
