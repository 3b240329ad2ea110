#pragma once

#include <QString>

#include <optional>

// The tool-call line of a reply: a line that, trimmed of spaces and tabs, starts with "{"
// and mentions "skill". Lines are split at "\n" only.
namespace ToolCallLine {

bool containsToolCallLine(const QString& text);
// What is shown of a reply while it holds a tool call: the lines before the first tool-call
// line, trimmed; the whole text trimmed when there is none.
QString textBeforeToolCall(const QString& text);
// The first tool-call line that also ends with "}", else the whole text when it is one
// object ("skill" not required), else nothing (then the caller decodes the whole reply).
std::optional<QString> extractToolCallJSON(const QString& text);
// Where the trailing unfinished line starts when it may still become a tool-call line
// (its trimmed text starts with "{"), so that it is held back from speech; nothing otherwise.
std::optional<qsizetype> heldTailStart(const QString& text);

}  // namespace ToolCallLine
