#pragma once

#include <QString>

// The system prompts a backend falls back on when the caller passes an empty one.
namespace BuiltInPrompts {

// For the OpenAI and NVIDIA clients: Korean when the locale starts with "ko", else general.
QString localePrompt(const QString& localeID);
// For the hosted and local clients: names the user's language twice.
QString languagePrompt(const QString& localeID);
// For the command-line agents.
QString agentSystemText(const QString& localeID);

// English name of the locale's language: a fixed table by language code, then the
// platform's English display name, then "the user's language".
QString languageName(const QString& localeID);

}  // namespace BuiltInPrompts
