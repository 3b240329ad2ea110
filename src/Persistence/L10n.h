#pragma once

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>

#include <optional>

enum class AppLanguage;

// Every text the window shows, looked up by dotted key ("tab.talk") in built-in tables, one
// per interface language, kept as JSON resources ":/Persistence/l10n/<raw value>.json".
namespace L10n {

using Table = QHash<QString, QString>;
using Tables = QHash<QString, Table>;  // keyed by the language's raw value

// The key's text in the language, else its English text, else the key itself.
QString t(const QString& key, AppLanguage language);
// The same for a key written in the code, which is ASCII.
QString t(const char* key, AppLanguage language);

// The table a speech locale's lines come from: its language code ("en-US" → English, "pt_BR"
// → Portuguese), Traditional Chinese for a "Hant" script or a Taiwan, Hong Kong or Macao
// region, English for a language with no table of its own.
AppLanguage languageOfLocale(const QString& localeID);

// The conventions of the language's texts: its month names, digits and decimal sign.
QLocale locale(AppLanguage language);

// The same lookup in the given tables.
QString lookup(const Tables& tables, const QString& key, AppLanguage language);

// The language's built-in table, read on its first use (the window needs only its own
// language and English).
const Table& builtInTable(AppLanguage language);

QString tablePath(AppLanguage language);

// One table file: a JSON object of key to text. Nothing (with the reason) for anything else.
std::optional<Table> parseTable(const QByteArray& json, QString* error = nullptr);

}  // namespace L10n
