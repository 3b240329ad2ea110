#pragma once

#include "Speech/SpeechPlayerError.h"

#include <QString>

#include <functional>
#include <optional>

// Speech output: speaks one text at a time.
class SpeechPlayer {
public:
    // Nothing when the utterance ended, was stopped or was cut off by the next speak();
    // the error when it could not be spoken or did not end in time.
    using Completion = std::function<void(const std::optional<SpeechPlayerError>& error)>;

    virtual ~SpeechPlayer() = default;

    // Speaks `text` in the locale ("en-US" when none) and calls `done` exactly once when the
    // utterance is over. `done` runs later from the event loop, never inside speak() or stop().
    virtual void speak(const QString& text, const std::optional<QString>& localeID, Completion done) = 0;
    // Ends the current utterance at once; its call completes without an error.
    virtual void stop() = 0;
};
