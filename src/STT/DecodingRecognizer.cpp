#include "STT/DecodingRecognizer.h"

#include <utility>

DecodingRecognizer::DecodingRecognizer(SpeechEngine engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine))
{
}

DecodingRecognizer::~DecodingRecognizer() = default;

void DecodingRecognizer::beginDecoding(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done)
{
    ++m_generation;
    m_utteranceOpen = false;
    m_toldAudioDropped = false;
    m_localeID = localeID;
    m_inputFormat = inputFormat;
    const std::optional<SpeechModel> model = m_engine.model(localeID);
    if (!model) {
        stopDecoding();
        m_pendingStarts.push_back(std::move(done));
        failStartsLater(unsupportedLocaleError(localeID));
        return;
    }
    m_pendingStarts.push_back(std::move(done));
    if (!m_decoder)
        m_decoder = std::make_unique<DecoderThread>(m_engine.makeDecoder(), this,
                                                    [this](const DecoderThread::Event& event) { handleEvent(event); });
    m_state = State::starting;
    m_decoder->load(*model, m_generation);
}

int DecodingRecognizer::feedDecoder(const AudioBufferPtr& buffer)
{
    return m_decoder->feed(buffer, m_generation);
}

void DecodingRecognizer::restartDecoding()
{
    ++m_generation;
    m_utteranceOpen = false;
    m_decoder->restart(m_generation);
}

void DecodingRecognizer::stopDecoding()
{
    m_state = State::idle;
    m_utteranceOpen = false;
    if (m_decoder)
        m_decoder->unload();
    if (!m_pendingStarts.empty())
        failStartsLater(QStringLiteral("Speech recognition was stopped before it began."));
}

void DecodingRecognizer::handleEvent(const DecoderThread::Event& event)
{
    if (event.generation != m_generation) {
        staleEvent(event);
        return;
    }
    if (event.kind != DecoderThread::Event::Kind::loaded) {
        if (m_state != State::running)
            return;
        // A buffer the decoder cannot take (no resampler) is followed by every other one: the
        // first says why, once for the run.
        if (event.kind == DecoderThread::Event::Kind::audioDropped && std::exchange(m_toldAudioDropped, true))
            return;
        // The utterance after a final result is a generation of its own; the audio that
        // waits meanwhile goes into it.
        if (event.kind == DecoderThread::Event::Kind::final) {
            ++m_generation;
            m_decoder->next(m_generation);
        }
        // Settled before the text goes out, so whoever hears the final knows it is one.
        if (event.kind == DecoderThread::Event::Kind::partial)
            m_utteranceOpen = m_utteranceOpen || !event.text.isEmpty();
        else if (event.kind == DecoderThread::Event::Kind::final || event.kind == DecoderThread::Event::Kind::failed)
            m_utteranceOpen = false;
        decoderEvent(event);
        return;
    }
    if (m_state != State::starting)
        return;
    if (!event.text.isEmpty()) {
        m_state = State::idle;
        m_decoder->unload();
        finishStarts(modelError(event.text));
        return;
    }
    m_state = State::running;
    started();
    finishStarts(std::nullopt);
}

void DecodingRecognizer::failStartsLater(const QString& error)
{
    QMetaObject::invokeMethod(
        this,
        [pending = std::exchange(m_pendingStarts, {}), error] {
            for (const StartCompletion& done : pending)
                if (done)
                    done(error);
        },
        Qt::QueuedConnection);
}

void DecodingRecognizer::finishStarts(const std::optional<QString>& error)
{
    for (const StartCompletion& done : std::exchange(m_pendingStarts, {}))
        if (done)
            done(error);
}
