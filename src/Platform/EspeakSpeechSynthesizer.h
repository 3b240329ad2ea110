#pragma once

#include "Platform/EspeakEngine.h"
#include "Speech/AudioOutput.h"
#include "Speech/SpeechSynthesizer.h"

#include <QObject>

#include <atomic>
#include <memory>

// The speech synthesizer on Linux: espeak-ng renders the utterance off the GUI thread and the
// audio output plays each piece as it comes, so speech starts after the first piece rather
// than the whole text. An utterance ends as finished when the output has played it,
// cancelled when stopped or replaced (which also stops its render), failed when rendering or
// the output fails.
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
    void handleAudio(quint64 ticket, AudioBufferPtr audio);
    void handleRenderEnd(quint64 ticket, const QString& error);
    void end(const std::function<void(const SpeechUtterance&)>& report);

    EspeakEngine& m_engine;
    std::unique_ptr<AudioOutput> m_output;
    SpeechUtterance m_current;
    bool m_speaking = false;
    bool m_playing = false;  // the output has the current utterance's first piece
    // Raised by every speak() and end of an utterance; a render whose ticket is stale stops,
    // and what it already sent is dropped. Read by the render on the espeak-ng thread.
    std::atomic<quint64> m_ticket{0};
};
