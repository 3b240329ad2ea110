#pragma once

#include "Diagnostics/PipelineLog.h"
#include "UI/Models/TextTint.h"

#include <QList>
#include <QString>

// What the pipeline timeline shows and copies: each entry's gap to the one before it, graded
// by colour, the timeline's own category colours, its header and its copy of the whole log.
namespace TimelineText {

// The timeline lists the last 120 entries; its header counts them all and its copy holds them all.
inline constexpr int kShownEntries = 120;

struct Delta {
    QString text;  // "+0ms", "+87ms", "+1.23s": whole milliseconds, cut toward zero
    TextTint tint;  // by the gap before cutting: below 50 ms green, 250 blue, 1 s orange, else red
};

// The gap from `previous` (none for the first row: "+0ms", secondary).
Delta delta(const PipelineLog::Entry* previous, const PipelineLog::Entry& entry);

// The timeline's colour of a category, matched exactly (case-sensitive); others secondary.
TextTint categoryTint(const QString& category);

// "Timeline (57 events)".
QString header(qsizetype count);
// "Timeline": the header without its count.
QString name();

// Every entry as "time delta [category] message", each gap measured to the entry before it,
// joined by "\n" with no newline after the last.
QString copyAll(const QList<PipelineLog::Entry>& entries);

}  // namespace TimelineText
