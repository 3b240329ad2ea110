#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Real people's recorded speech for the speaker-label tests: the prompts of Debian's telephony
// sound packages, one utterance per file, mono, each prompt both as heard over a telephone
// line and over a wideband one.
namespace RecordedVoices {

enum class Line {
    telephone,  // 8 kHz PCM
    wideband,  // 16 kHz G.722, decoded by ffmpeg
};

constexpr int kTelephoneRate = 8000;
constexpr int kWidebandRate = 16000;

constexpr int rate(Line line)
{
    return line == Line::telephone ? kTelephoneRate : kWidebandRate;
}

// Three people: an American English woman, a Canadian French woman, an Italian man.
const QStringList& people();

// The person's utterances of 2 to 6 s, in file-name order, at most `count`.
std::vector<std::vector<float>> utterances(const QString& person, Line line, int count);

// A fourth person: the man who reads the 16 kHz book passages of pocketsphinx-testdata, five
// utterances of 3 to 7 s.
constexpr int kReaderRate = 16000;
std::vector<std::vector<float>> readerUtterances();

// Mono audio at another rate, as a microphone of that rate would have captured it.
std::vector<float> resampled(const std::vector<float>& samples, int fromRate, int toRate);

}  // namespace RecordedVoices
