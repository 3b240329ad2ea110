#pragma once

#include <QString>

enum class AppLanguage;

// What the diagnostics tab shows where the timeline goes: the timeline while logging and the
// timeline's drawing are both on, otherwise a notice saying which of the two is off.
enum class TimelineSlot { timeline, loggingOffNotice, drawingOffNotice };

TimelineSlot timelineSlot(bool loggingEnabled, bool timelineDrawingEnabled);

// The notice's text in the interface language (empty for the timeline).
QString timelineSlotNotice(TimelineSlot slot, AppLanguage language);
