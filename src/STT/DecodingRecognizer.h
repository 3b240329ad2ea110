#pragma once

#include "STT/DecoderThread.h"
#include "STT/SpeechEngine.h"
#include "STT/StreamingSpeechRecognizer.h"

#include <QObject>

#include <vector>

// What the recognizers built on the speech engine share: the decoder thread, the model
// lookup, the start hand-shake and the generation, which advances at every start, reset,
// restart and final result and turns every result of an earlier utterance into a stale one.
// Subclasses decide what the texts make of the transcript.
class DecodingRecognizer : public QObject, public StreamingSpeechRecognizer {
    Q_OBJECT
public:
    ~DecodingRecognizer() override;

    bool isFinishingUtterance() const override { return m_utteranceOpen; }

protected:
    enum class State { idle, starting, running };

    DecodingRecognizer(SpeechEngine engine, QObject* parent);

    // Loads the locale's model on the decoder thread; `done` hears the outcome. A locale
    // without a model fails at once with unsupportedLocaleError().
    void beginDecoding(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done);
    // Returns how many waiting buffers the decoder's backlog dropped to make room.
    int feedDecoder(const AudioBufferPtr& buffer);
    // A new generation with a fresh utterance; results of the old one turn stale.
    void restartDecoding();
    void stopDecoding();

    State state() const { return m_state; }
    std::uint64_t generation() const { return m_generation; }
    const QString& localeID() const { return m_localeID; }
    const AudioFormat& inputFormat() const { return m_inputFormat; }
    QStringList installedLocales() const { return m_engine.localeIDs(); }
    // Valid once a start has reached the decoder.
    AudioFormat decoderFormat() const { return m_decoder ? m_decoder->decoderFormat() : AudioFormat{}; }

    virtual QString unsupportedLocaleError(const QString& localeID) const = 0;
    virtual QString modelError(const QString& detail) const = 0;
    virtual void started() {}
    virtual void staleEvent(const DecoderThread::Event&) {}
    // An event of the current generation after the start.
    virtual void decoderEvent(const DecoderThread::Event& event) = 0;

private:
    void handleEvent(const DecoderThread::Event& event);
    void finishStarts(const std::optional<QString>& error);
    void failStartsLater(const QString& error);

    SpeechEngine m_engine;
    State m_state = State::idle;
    std::uint64_t m_generation = 0;
    QString m_localeID = QStringLiteral("ko-KR");
    AudioFormat m_inputFormat;
    std::vector<StartCompletion> m_pendingStarts;
    bool m_utteranceOpen = false;  // a partial text came, its utterance's final not yet
    bool m_toldAudioDropped = false;  // since the start
    // Last, so it is joined before anything it reports to goes away.
    std::unique_ptr<DecoderThread> m_decoder;
};
