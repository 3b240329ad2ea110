#pragma once

#include "Platform/EspeakEngine.h"
#include "Speech/AudioOutput.h"
#include "Speech/SpeechSynthesizer.h"

#include <QObject>

#include <memory>

// The speech synthesizer on Linux: espeak-ng renders the whole utterance off the GUI thread,
// then the audio output plays it. An utterance ends as finished when the output has played
// it, cancelled when stopped or replaced, failed when rendering or the output fails.
class EspeakSpeechSynthesizer final : public QObject, public SpeechSynthesizer {
    Q_OBJECT
public:
    explicit EspeakSpeechSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
    ~EspeakSpeechSynthesizer() override;

    QList<SpeechVoice> voices() const override;
    std::optional<SpeechVoice> defaultVoice(const QString& localeID) const override;
    void speak(const SpeechUtterance& utterance) override;
    void stop() override;
    bool isSpeaking() const override { return m_speaking; }

private:
    void handleRendering(quint64 ticket, const EspeakEngine::Rendering& rendering);
    void end(const std::function<void(const SpeechUtterance&)>& report);

    EspeakEngine& m_engine;
    std::unique_ptr<AudioOutput> m_output;
    SpeechUtterance m_current;
    bool m_speaking = false;
    quint64 m_ticket = 0;  // raised by every speak() and stop(); stale renders are dropped
};
