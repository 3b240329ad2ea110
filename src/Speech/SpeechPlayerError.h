#pragma once

#include <QString>

// Why an utterance could not be spoken.
struct SpeechPlayerError {
    enum class Kind {
        voiceUnavailable,  // no voice for the locale; `detail` is the locale
        timeout,  // the utterance did not end within its time limit
        playbackFailed,  // rendering or the audio output failed; `detail` says why
    };

    Kind kind = Kind::timeout;
    QString detail;

    static SpeechPlayerError voiceUnavailable(const QString& localeID) { return {Kind::voiceUnavailable, localeID}; }
    static SpeechPlayerError timeout() { return {Kind::timeout, {}}; }
    static SpeechPlayerError playbackFailed(const QString& reason) { return {Kind::playbackFailed, reason}; }

    QString description() const;
    bool operator==(const SpeechPlayerError&) const = default;
};
