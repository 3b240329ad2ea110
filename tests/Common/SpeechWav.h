#pragma once

#include <QString>

// Speech for audio tests: rendered at test time by the espeak-ng program (about a thousand
// times faster than real time) as a 22,050 Hz mono 16-bit WAV file, or recorded.
namespace SpeechWav {

struct Options {
    QString voice = QStringLiteral("en-us");  // "ko", "en-us+f3", ...
    int wordsPerMinute = 0;  // 0: espeak-ng's default pace
    bool ssml = false;  // read SSML such as <break time="800ms"/>
};

// Writes `text` spoken into `path`. Returns false with a readable reason in `error`.
bool render(const QString& text, const QString& path, QString* error = nullptr, const Options& options = {});

// The real recording "go forward ten meters" of the pocketsphinx test data, as a microphone of
// that rate and channel count would give it, with that much silence before and 1 s after.
bool goForward(const QString& path, int rate, int channels, double secondsBefore = 0.2);

}  // namespace SpeechWav
