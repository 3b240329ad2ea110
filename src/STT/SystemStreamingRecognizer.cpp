#include "STT/SystemStreamingRecognizer.h"

#include "STT/TranscriptMerger.h"
#include "Support/Text.h"

#include <QLoggingCategory>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcRecognizer, "app.parlivox.stt.sf")

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

QString SystemStreamingRecognizer::SystemSttError::description() const
{
    switch (kind) {
    case Kind::unavailable:
        return QStringLiteral("Speech recognizer unavailable for locale %1 (installed: %2)")
            .arg(localeID,
                 installedLocales.isEmpty() ? QStringLiteral("none") : installedLocales.join(QStringLiteral(", ")));
    case Kind::modelFailed:
        return QStringLiteral("Speech recognizer could not load the model for locale %1: %2").arg(localeID, detail);
    case Kind::recognitionFailed:
        return QStringLiteral("Speech recognition failed: ") + detail;
    }
    return {};
}

SystemStreamingRecognizer::SystemStreamingRecognizer(Scheduler& scheduler, SpeechEngine engine, QObject* parent)
    : DecodingRecognizer(std::move(engine), parent), m_retry(scheduler)
{
}

std::chrono::milliseconds SystemStreamingRecognizer::retryDelay(int failures)
{
    const int doublings = std::clamp(failures - 1, 0, 5);
    return std::min(std::chrono::milliseconds(250 << doublings), std::chrono::milliseconds(5000));
}

QString SystemStreamingRecognizer::unsupportedLocaleError(const QString& localeID) const
{
    return SystemSttError{SystemSttError::Kind::unavailable, localeID, installedLocales(), {}}.description();
}

QString SystemStreamingRecognizer::modelError(const QString& detail) const
{
    return SystemSttError{SystemSttError::Kind::modelFailed, localeID(), {}, detail}.description();
}

void SystemStreamingRecognizer::start(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done)
{
    m_accumulated.clear();
    m_shown.clear();
    m_setAside.reset();
    m_downmixFrom.reset();
    m_failures = 0;
    m_retry.cancel();
    beginDecoding(localeID, inputFormat, std::move(done));
}

void SystemStreamingRecognizer::started()
{
    spawned();
    qCInfo(lcRecognizer, "recognizer started locale=%s onDevice=true", qPrintable(localeID()));
}

void SystemStreamingRecognizer::feed(const AudioBufferPtr& buffer)
{
    if (state() != State::running)
        return;
    const AudioFormat& format = buffer->format();
    if (format.channels > 1 && m_downmixFrom != format) {
        m_downmixFrom = format;
        diag(QStringLiteral("downmix configured: %1 ch @ %2 Hz → 1 ch")
                 .arg(format.channels)
                 .arg(qRound64(format.sampleRate)));
    }
    if (const int dropped = feedDecoder(buffer))
        diag(QStringLiteral("decoder backlog full: dropped %1 oldest buffer(s)").arg(dropped));
}

void SystemStreamingRecognizer::stop(std::function<void()> done)
{
    onTranscript = nullptr;
    onError = nullptr;
    onLateFinal = nullptr;
    m_accumulated.clear();
    m_shown.clear();
    m_setAside.reset();
    m_retry.cancel();
    stopDecoding();
    if (done)
        QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
}

void SystemStreamingRecognizer::resetTranscriptState()
{
    m_accumulated.clear();
    m_shown.clear();
    m_setAside.reset();
    if (state() != State::running)
        return;
    m_failures = 0;
    m_retry.cancel();
    restartDecoding();
    spawned();
}

void SystemStreamingRecognizer::resetTranscriptKeepingFinal()
{
    if (state() != State::running || !isFinishingUtterance()) {
        resetTranscriptState();
        return;
    }
    // The decoder goes on with the utterance; only the transcript starts afresh.
    m_setAside = SetAside{generation(), m_accumulated};
    m_accumulated.clear();
    m_shown.clear();
    diag(QStringLiteral("transcript set aside until the final text of gen=%1").arg(generation()));
}

void SystemStreamingRecognizer::staleEvent(const DecoderThread::Event& event)
{
    diag(QStringLiteral("ignored stale callback (gen=%1 cur=%2)").arg(event.generation).arg(generation()));
}

void SystemStreamingRecognizer::decoderEvent(const DecoderThread::Event& event)
{
    using Kind = DecoderThread::Event::Kind;
    switch (event.kind) {
    case Kind::partial:
    case Kind::final:
        handleText(event);
        break;
    case Kind::failed:
        handleFailure(event);
        break;
    case Kind::audioDropped:
        qCWarning(lcRecognizer, "mono downmix failed: %s — buffer dropped", qPrintable(event.text));
        if (onError)
            onError(SystemSttError{SystemSttError::Kind::recognitionFailed, localeID(), {}, event.text}.description());
        break;
    case Kind::loaded:
        break;
    }
}

void SystemStreamingRecognizer::handleText(const DecoderThread::Event& event)
{
    const QString& text = event.text;
    const bool isFinal = event.kind == DecoderThread::Event::Kind::final;
    diag(QStringLiteral("task cb gen=%1: partial.len=%2 isFinal=%3 error=nil cbSet=%4")
             .arg(event.generation)
             .arg(Text::graphemeCount(text))
             .arg(boolText(isFinal), boolText(bool(onTranscript))));
    m_failures = 0;
    if (m_setAside && event.generation == m_setAside->generation) {
        finishSetAside(event);
        return;
    }
    if (!text.isEmpty()) {
        m_shown = TranscriptMerger::merge(m_accumulated, text, localeID());
        diag(
            QStringLiteral("calling onTranscript with '%1' (%2 chars)").arg(m_shown).arg(Text::graphemeCount(m_shown)));
        if (onTranscript)
            onTranscript(m_shown);
    }
    if (!isFinal)
        return;
    // A segment that ends without a final text keeps what was already shown of it.
    if (!m_shown.isEmpty())
        m_accumulated = m_shown;
    m_shown.clear();
    spawned();
}

// The set-aside utterance's partials are already in what was delivered before the reset;
// its final, when it has words, completes that transcript. An empty final keeps it as it was.
void SystemStreamingRecognizer::finishSetAside(const DecoderThread::Event& event)
{
    if (event.kind != DecoderThread::Event::Kind::final)
        return;
    const SetAside setAside = *std::exchange(m_setAside, std::nullopt);
    spawned();
    if (event.text.isEmpty())
        return;
    const QString transcript = TranscriptMerger::merge(setAside.accumulated, event.text, localeID());
    diag(QStringLiteral("late final '%1' (%2 chars)").arg(transcript).arg(Text::graphemeCount(transcript)));
    if (onLateFinal)
        onLateFinal(transcript);
}

void SystemStreamingRecognizer::handleFailure(const DecoderThread::Event& event)
{
    const QString& error = event.text;
    diag(QStringLiteral("task cb gen=%1: partial.len=-1 isFinal=false error=%2 cbSet=%3")
             .arg(event.generation)
             .arg(error, boolText(bool(onTranscript))));
    qCWarning(lcRecognizer, "recognition error: %s", qPrintable(error));
    // A set-aside utterance that failed keeps what was delivered of it.
    m_setAside.reset();
    // What the failed segment had shown stays in the transcript.
    if (!m_shown.isEmpty())
        m_accumulated = m_shown;
    m_shown.clear();
    ++m_failures;
    if (m_failures == kFailuresBeforeError && onError)
        onError(SystemSttError{SystemSttError::Kind::recognitionFailed, localeID(), {}, error}.description());
    m_retry.start(retryDelay(m_failures), [this] { retryAfterFailure(); });
}

void SystemStreamingRecognizer::retryAfterFailure()
{
    if (state() != State::running)
        return;
    restartDecoding();
    spawned();
}

void SystemStreamingRecognizer::spawned()
{
    diag(QStringLiteral("spawnTask: locale=%1 supportsOnDevice=true defaultTaskHint").arg(localeID()));
}

void SystemStreamingRecognizer::diag(const QString& line)
{
    qCInfo(lcRecognizer, "%s", qPrintable(line));
    if (onDiagnostic)
        onDiagnostic(line);
}
