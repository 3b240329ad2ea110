#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Real people's recorded speech for the speaker-label tests: the prompts of Debian's telephony
// sound packages, one utterance per file, 8 kHz mono.
namespace RecordedVoices {

constexpr int kRate = 8000;

// Three people: an American English woman, a Canadian French woman, an Italian man.
const QStringList& people();

// The person's utterances of 2 to 6 s, in file-name order, at most `count`.
std::vector<std::vector<float>> utterances(const QString& person, int count);

}  // namespace RecordedVoices
