#pragma once

#include "Persona/Alias.h"

#include <QList>
#include <QString>

// The user's speech-recognition corrections, kept in "persona/aliases.json" of the data root
// as a pretty-printed JSON array. Nothing is held in memory: every call reads the file, every
// change replaces it atomically. Write failures go to the system log and, with their reason,
// to the caller; the old file then stays as it was. GUI thread only.
namespace AliasStore {

QString filePath();

// The stored pairs in order; empty when the file is missing, unreadable or undecodable.
QList<Alias> load();

// Writes the list. A file that exists but cannot be read or decoded is moved aside first,
// so the user's pairs are never overwritten with a shorter list.
bool save(const QList<Alias>& aliases, QString* error = nullptr);

// Trims both texts and stores the pair last, replacing a pair whose wrong text matches
// ignoring case. Blank texts, or two equal texts, change nothing and give false with no error.
bool add(const QString& wrong, const QString& right, const QDateTime& now = QDateTime::currentDateTimeUtc(),
         QString* error = nullptr);

// The text with every stored correction made: longest wrong text first (stored order among
// equal lengths), each occurrence replaced literally, ignoring case. A pair whose wrong text
// is blank is never applied.
QString apply(const QString& text);

}  // namespace AliasStore
