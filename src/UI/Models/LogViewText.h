#pragma once

#include "Diagnostics/PipelineLog.h"
#include "UI/Models/TextTint.h"

#include <QList>
#include <QString>

#include <span>

// What the raw pipeline log shows and copies: categories in their colours, error messages
// in red, and the whole log as text.
namespace LogViewText {

// The raw log lists the newest 80 entries; its copy holds them all.
inline constexpr int kShownEntries = 80;

struct CategoryColour {
    const char* category;
    ThemePalette::Named colour;
};

// The colour a table gives a category, matched exactly (case-sensitive); secondary when the
// table has none for it.
TextTint tintIn(std::span<const CategoryColour> table, const QString& category);

// The raw log's colour of a category.
TextTint categoryTint(const QString& category);

// Messages of the category "error" are red, every other message primary (in the timeline too).
TextTint messageTint(const QString& category);

// Every entry's line, oldest first, joined by "\n" with no newline after the last.
QString copyAll(const QList<PipelineLog::Entry>& entries);

}  // namespace LogViewText
