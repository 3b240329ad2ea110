#pragma once

#include "Speech/SpeechUtterance.h"
#include "Speech/SpeechVoice.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The platform's speech synthesizer as the speech player uses it: one utterance at a time,
// with a report when it starts and one when it ends (finished, cancelled or failed). Reports
// arrive on the owner's thread from the event loop, never from inside speak() or stop().
class SpeechSynthesizer {
public:
    virtual ~SpeechSynthesizer() = default;

    // The installed voices, in the platform's own order.
    virtual QList<SpeechVoice> voices() const = 0;
    // The platform's own choice for a locale, or nothing when it has no voice for it.
    virtual std::optional<SpeechVoice> defaultVoice(const QString& localeID) const = 0;

    // Starts speaking; an utterance still speaking is cut off and reported cancelled.
    virtual void speak(const SpeechUtterance& utterance) = 0;
    // Cuts the current utterance off at once; it is reported cancelled.
    virtual void stop() = 0;
    virtual bool isSpeaking() const = 0;

    std::function<void(const SpeechUtterance&)> onStarted;
    std::function<void(const SpeechUtterance&)> onFinished;
    std::function<void(const SpeechUtterance&)> onCancelled;
    std::function<void(const SpeechUtterance&, const QString& reason)> onFailed;
};
