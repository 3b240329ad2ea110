#pragma once

#include <QDateTime>

// The stored date form: seconds, with a fraction, counted from 2001-01-01T00:00:00Z.
namespace ReferenceDate {

// Seconds from the reference date to `date` (negative before it), to the millisecond.
double toSeconds(const QDateTime& date);

// The UTC date `seconds` after the reference date, rounded to the nearest millisecond.
QDateTime fromSeconds(double seconds);

}  // namespace ReferenceDate
