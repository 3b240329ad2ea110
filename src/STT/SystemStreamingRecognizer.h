#pragma once

#include "STT/DecodingRecognizer.h"
#include "Support/Scheduler.h"

#include <QStringList>

#include <cstdint>
#include <optional>

// The recognizer the application uses. Decoding runs on a thread of its own; each time the
// decoder finishes an utterance it begins the next at once, and this class glues the
// segments into one transcript: the finished segments, merged, followed by the current
// segment's partial text. Failed decoding is restarted with growing back-off, and three
// failures in a row reach onError, so recognition never goes silently deaf.
class SystemStreamingRecognizer final : public DecodingRecognizer {
    Q_OBJECT
public:
    struct SystemSttError {
        enum class Kind { unavailable, modelFailed, recognitionFailed };
        Kind kind;
        QString localeID;
        QStringList installedLocales;  // unavailable
        QString detail;  // modelFailed, recognitionFailed
        QString description() const;
    };
    static constexpr int kFailuresBeforeError = 3;

    explicit SystemStreamingRecognizer(Scheduler& scheduler, SpeechEngine engine, QObject* parent = nullptr);

    // Every diagnostic line; the engine records them in the pipeline log.
    std::function<void(const QString& line)> onDiagnostic;

    void start(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done) override;
    void feed(const AudioBufferPtr& buffer) override;
    void stop(std::function<void()> done = {}) override;
    void resetTranscriptState() override;
    void resetTranscriptKeepingFinal() override;

    // Back-off before the n-th restart in a row after failed decoding (n from 1).
    static std::chrono::milliseconds retryDelay(int failures);

private:
    QString unsupportedLocaleError(const QString& localeID) const override;
    QString modelError(const QString& detail) const override;
    void started() override;
    void staleEvent(const DecoderThread::Event& event) override;
    void decoderEvent(const DecoderThread::Event& event) override;

    void handleText(const DecoderThread::Event& event);
    void finishSetAside(const DecoderThread::Event& event);
    void handleFailure(const DecoderThread::Event& event);
    void retryAfterFailure();
    void spawned();
    void diag(const QString& line);

    QString m_accumulated;  // merged finished segments since start or reset
    QString m_shown;  // the last delivered transcript of the current segment
    // The transcript set aside while its last segment, of this generation, is finished.
    struct SetAside {
        std::uint64_t generation;
        QString accumulated;
    };
    std::optional<SetAside> m_setAside;
    std::optional<AudioFormat> m_downmixFrom;
    int m_failures = 0;
    SingleShot m_retry;
};
