#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Real people's recorded speech for the speaker-label tests and benchmarks: the prompts of
// Debian's telephony sound packages and a book reader, one utterance per file, mono, as heard
// over a telephone line or over a wideband one.
namespace RecordedVoices {

enum class Line {
    telephone,  // 8 kHz
    wideband,  // 16 kHz
};

constexpr int kTelephoneRate = 8000;
constexpr int kWidebandRate = 16000;

constexpr int rate(Line line)
{
    return line == Line::telephone ? kTelephoneRate : kWidebandRate;
}

// The people the voiceprint's constants and thresholds are fitted on, each recorded over both
// lines: an American English woman, a Canadian French woman, an Italian man.
const QStringList& people();

// People the speaker labels were never fitted on, to measure them on: a Colombian Spanish woman
// and a French woman (telephone prompts coded as GSM, so telephone only), a Russian woman
// (wideband prompts), the English man who reads the book passages of pocketsphinx-testdata
// (wideband, five utterances of 3 to 7 s) and an Italian woman (telephone prompts). Wideband
// recordings are heard over a telephone line through an 8 kHz resampling.
const QStringList& heldOutPeople();

// The person's prompts of `shortest` to `longest` seconds (the reader's sentences all), in
// file-name order, at most `count` (all for -1); none over a line the person was not
// recorded on.
std::vector<std::vector<float>> utterances(const QString& person, Line line, int count, double shortest = 2,
                                           double longest = 6);

// The person's single words (digits, 0.3 to 1.2 s each) in file-name order, at most `count`;
// the reader has none.
std::vector<std::vector<float>> words(const QString& person, Line line, int count);

// The reader's sentences cut at their pauses into phrases of at least 1 s.
std::vector<std::vector<float>> readerPhrases(Line line);

// The book reader's utterances at 16 kHz.
constexpr int kReaderRate = 16000;
std::vector<std::vector<float>> readerUtterances();

// Mono audio at another rate, as a microphone of that rate would have captured it.
std::vector<float> resampled(const std::vector<float>& samples, int fromRate, int toRate);

// Five utterances of three people, 3.0 to 5.3 s each, at 16 kHz, as users would speak
// to the assistant: the reader's three, then a prompt of the American woman and one of the
// Italian man. Fewer when the recordings are not installed.
std::vector<std::vector<float>> turnsOfThreePeople();

}  // namespace RecordedVoices
