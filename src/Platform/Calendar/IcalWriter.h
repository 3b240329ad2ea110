#pragma once

#include "Skills/CalendarEvent.h"

#include <QString>

// Writing a new calendar file of this program: one event, its times in their IANA zone with its
// VTIMEZONE, or in UTC. Files that exist are changed in place (IcalFileChange), never rewritten.
namespace IcalWriter {

// Writes the event, named by its id, to a new file at `path`, atomically.
bool writeNew(const QString& path, const CalendarEvent& event, QString* error);

}  // namespace IcalWriter
