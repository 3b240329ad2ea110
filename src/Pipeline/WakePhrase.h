#pragma once

#include <QString>

// The phrase that ends a rest: the wake word "당근" twice, or once with a wake verb
// ("일어나", "깨", "시작", "출근", "돌아", "복귀", "끝났") anywhere in the text. Precomposed and
// decomposed Hangul count as the same text.
namespace WakePhrase {

// Only the end of a long transcript counts: a phrase said this many characters back is old.
constexpr qsizetype kHeardChars = 80;

bool isWakeWord(const QString& text);

// The last kHeardChars characters (grapheme clusters) of the transcript.
QString recentPart(const QString& transcript);

}  // namespace WakePhrase
