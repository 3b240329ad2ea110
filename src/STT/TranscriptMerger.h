#pragma once

#include <QString>

// How recognized pieces of one transcript are put together. Each finished segment of a
// recognition is new audio, so pieces are joined, never glued: with one space, except in
// languages written without spaces between words (Japanese, Chinese, Cantonese).
namespace TranscriptMerger {

// "" for languages written without spaces, " " for the others.
QString separator(const QString& localeID);

// `first` then `second`, both trimmed, with the language's separator when both have text.
QString join(const QString& first, const QString& second, const QString& localeID);

// The accumulated transcript followed by the newest segment. When the segment begins with
// the same whole words the transcript ends with, they are kept once ("turn on the" and "the
// lights" give "turn on the lights"); a partial word never counts as an overlap. Matching is
// exact and case-sensitive, up to canonical Unicode equivalence.
QString merge(const QString& accumulated, const QString& segment, const QString& localeID);

}  // namespace TranscriptMerger
