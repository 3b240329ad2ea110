#pragma once

#include <QString>

// Removes Markdown markup from a sentence before it is spoken, so the voice never reads
// out asterisks, backticks, hash marks or link addresses.
namespace MarkdownStripper {

// The text without markup, runs of tabs and spaces collapsed to one space and both ends
// trimmed. Line breaks stay. Text without markup changes only in its spacing.
QString strip(const QString& text);

}  // namespace MarkdownStripper
