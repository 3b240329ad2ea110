#pragma once

#include "Persona/SystemPromptRequest.h"

#include <QDateTime>
#include <QString>

// The persona files in "persona/" of the data root (a soul and a contract per language and
// one memory of facts about the user) and the system prompt built from them for every
// backend request. Nothing is cached, so edits made elsewhere count at the next turn.
// Writes replace whole files atomically; failures go to the system log, and those the user
// asked for also to the caller with their reason, the old file staying as it was.
namespace PersonaStore {

QString directory();
QString soulPath(const QString& language);
QString contractPath(const QString& language);
QString memoryPath();

// The language code of a locale ("ko-KR" → "ko", "en_US" → "en", "zh-Hans-CN" and "zh-TW"
// → "zh", "zh-Hant-TW" → "zh-Hant"); "en" when the code is unusable in a file name.
QString languageCode(const QString& localeID);

// The built-in texts: Korean, Japanese, Chinese (also for "zh-Hant") or English.
QString defaultSoul(const QString& language);
QString defaultContract(const QString& language);

// Writes the defaults of the language where its soul or contract is missing (and moves the
// files of the older layout once); existing files are never touched.
void ensureFiles(const QString& language);
// Overwrites the soul and contract of the language with the defaults; the memory stays.
bool resetToDefaults(const QString& language, QString* error = nullptr);

// Writes the template when the memory file is missing; false with the reason when it cannot.
bool ensureMemoryFile(QString* error = nullptr);
// The memory file's text, or the template when it cannot be read as UTF-8.
QString memory();
// Adds "- [yyyy-MM-dd HH:mm] fact" to the memory (removing the empty-memory placeholder).
// False when there is nothing to add (no error then) or the file could not be read or
// written; a memory file that exists but cannot be read is never replaced.
bool appendMemory(const QString& fact, const QDateTime& now = QDateTime::currentDateTime(), QString* error = nullptr);

// The English name of a locale's language ("Korean", "Catalan (Spain)"), or "the user's language".
QString translateLanguageName(const QString& localeID);

QString systemPrompt(const SystemPromptRequest& request);

}  // namespace PersonaStore
