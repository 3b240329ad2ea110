#include "STT/AnalyzerStreamingRecognizer.h"

#include "STT/TranscriptMerger.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcAnalyzer, "app.parlivox.stt.analyzer")

}  // namespace

QString AnalyzerStreamingRecognizer::SttError::description() const
{
    return QStringLiteral("Locale %1 not supported by the speech transcriber (installed: %2).")
        .arg(localeID,
             installedLocales.isEmpty() ? QStringLiteral("none") : installedLocales.join(QStringLiteral(", ")));
}

AnalyzerStreamingRecognizer::AnalyzerStreamingRecognizer(SpeechEngine engine, QObject* parent)
    : DecodingRecognizer(std::move(engine), parent)
{
}

QString AnalyzerStreamingRecognizer::unsupportedLocaleError(const QString& localeID) const
{
    return SttError{localeID, installedLocales()}.description();
}

void AnalyzerStreamingRecognizer::start(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done)
{
    stop();
    beginDecoding(localeID, inputFormat, std::move(done));
}

void AnalyzerStreamingRecognizer::started()
{
    const AudioFormat analyzerFormat = decoderFormat();
    qCInfo(lcAnalyzer, "started locale=%s analyzerFormat=%fHz %uch inputHW=%fHz %uch", qPrintable(localeID()),
           analyzerFormat.sampleRate, unsigned(analyzerFormat.channels), inputFormat().sampleRate,
           unsigned(inputFormat().channels));
}

void AnalyzerStreamingRecognizer::feed(const AudioBufferPtr& buffer)
{
    if (state() == State::running)
        feedDecoder(buffer);
}

void AnalyzerStreamingRecognizer::stop(std::function<void()> done)
{
    stopDecoding();
    m_finalizedText.clear();
    if (done)
        QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
}

void AnalyzerStreamingRecognizer::resetTranscriptState()
{
    m_finalizedText.clear();
    qCInfo(lcAnalyzer, "transcript state reset");
    if (state() == State::running)
        restartDecoding();
}

void AnalyzerStreamingRecognizer::decoderEvent(const DecoderThread::Event& event)
{
    using Kind = DecoderThread::Event::Kind;
    switch (event.kind) {
    case Kind::partial:
        deliver(TranscriptMerger::join(m_finalizedText, event.text, localeID()));
        break;
    case Kind::final:
        m_finalizedText = TranscriptMerger::join(m_finalizedText, event.text, localeID());
        deliver(m_finalizedText);
        break;
    case Kind::failed:
        qCWarning(lcAnalyzer, "results stream error: %s", qPrintable(event.text));
        stopDecoding();
        if (onError)
            onError(event.text);
        break;
    case Kind::audioDropped:
        qCWarning(lcAnalyzer, "buffer conversion failed: %s", qPrintable(event.text));
        if (onError)
            onError(event.text);
        break;
    case Kind::loaded:
        break;
    }
}

void AnalyzerStreamingRecognizer::deliver(const QString& text)
{
    if (onTranscript)
        onTranscript(text);
}
