#pragma once

#include "Conversation/MinutesEntry.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The plain-text minutes file kept beside a meeting recording: a two-line header (when the
// capture started, which recording it belongs to), then one line per utterance, times in
// local time, lines ended by a line feed. Nothing is escaped: a text with a line feed breaks
// its line, as a reader of the file expects.
namespace MinutesText {

QString header(const QDateTime& startedAt, const QString& recordingFileName);
QString line(const MinutesEntry& entry);
// The header and every entry's line, in order.
QString whole(const QDateTime& startedAt, const QString& recordingFileName, const QList<MinutesEntry>& entries);

}  // namespace MinutesText
