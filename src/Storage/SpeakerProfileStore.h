#pragma once

#include "Storage/SpeakerProfile.h"

#include <QList>
#include <QString>

// The enrolled voices, kept in "speakers/profiles.json" of the data root as a pretty-printed
// JSON array. Nothing is held in memory: every call reads the whole file, and every change
// replaces it atomically. Write failures go to the system log and, with their reason, to the
// caller; the old file then stays as it was. Callers make one call at a time (the speaker
// classifier).
namespace SpeakerProfileStore {

QString filePath();

// The stored profiles in order; empty when the file is missing or cannot be decoded.
QList<SpeakerProfile> load();

// Writes the list. A file that exists but cannot be decoded is moved aside first, so the
// user's data is never overwritten; a list that JSON cannot carry is refused.
bool save(const QList<SpeakerProfile>& profiles, QString* error = nullptr);

// Replaces every profile with the same label (ignoring case) and puts the new one last.
bool append(const SpeakerProfile& profile, QString* error = nullptr);

// Relabels every profile whose label matches `from` (ignoring case); saves even when
// nothing matched.
bool rename(const QString& from, const QString& to, QString* error = nullptr);

}  // namespace SpeakerProfileStore
