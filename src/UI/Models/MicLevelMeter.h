#pragma once

#include <QColor>

// The microphone level bar under the face: how far it fills and in which colour. The level
// may leave 0…1 (the monitor publishes what the engine measures); it is clamped here, once,
// so no width runs past the track or below zero.
namespace MicLevelMeter {

inline constexpr double loud = 0.45;  // green from here
inline constexpr double audible = 0.12;  // warm from here
inline constexpr double smallestFill = 2.0;  // the fill never disappears

double clamped(double level);

// The fill's width in a bar `barWidth` wide.
double fillWidth(double level, double barWidth);

// Grey while listening is off; by level while on (thresholds inclusive).
QColor fillColor(double level, bool listening, bool dark);

// The track under the fill: the text colour, faint.
QColor trackColor(bool dark);

}  // namespace MicLevelMeter
