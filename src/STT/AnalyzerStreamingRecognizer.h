#pragma once

#include "STT/DecodingRecognizer.h"

#include <QStringList>

// A second recognizer behind the same contract, over the same speech engine, kept ready as a
// drop-in alternative (nothing in the application makes one). It reports the finished text
// followed by the still-changing ("volatile") text of the phrase in progress; a decoding
// failure ends deliveries until the next start.
class AnalyzerStreamingRecognizer final : public DecodingRecognizer {
    Q_OBJECT
public:
    struct SttError {
        QString localeID;
        QStringList installedLocales;
        QString description() const;
    };

    explicit AnalyzerStreamingRecognizer(SpeechEngine engine, QObject* parent = nullptr);

    void start(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done) override;
    void feed(const AudioBufferPtr& buffer) override;
    // Callbacks stay set.
    void stop(std::function<void()> done = {}) override;
    // The phrase in progress is dropped too: the next transcript starts empty.
    void resetTranscriptState() override;

private:
    QString unsupportedLocaleError(const QString& localeID) const override;
    QString modelError(const QString& detail) const override { return detail; }
    void started() override;
    void decoderEvent(const DecoderThread::Event& event) override;
    void deliver(const QString& text);

    QString m_finalizedText;
};
