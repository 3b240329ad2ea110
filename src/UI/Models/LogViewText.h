#pragma once

#include "Pipeline/PipelineLog.h"
#include "UI/Models/TextTint.h"

#include <QList>
#include <QString>

// What the raw pipeline log shows and copies: categories in their colours, error messages
// in red, and the whole log as text.
namespace LogViewText {

// The raw log's colour of a category, matched exactly (case-sensitive); others secondary.
TextTint categoryTint(const QString& category);

// Messages of the category "error" are red, every other message primary (in the timeline too).
TextTint messageTint(const QString& category);

// Every entry's line, oldest first, joined by "\n" with no newline after the last.
QString copyAll(const QList<PipelineLog::Entry>& entries);

}  // namespace LogViewText
