#include "Platform/EspeakSpeechSynthesizer.h"

EspeakSpeechSynthesizer::EspeakSpeechSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : QObject(parent), m_engine(EspeakEngine::shared()), m_output(std::move(output))
{
    m_output->onStarted = [this] {
        if (m_speaking && onStarted)
            onStarted(m_current);
    };
    m_output->onFinished = [this] {
        if (m_speaking)
            end(onFinished);
    };
    m_output->onFailed = [this](const QString& reason) {
        if (m_speaking)
            end([this, reason](const SpeechUtterance& utterance) {
                if (onFailed)
                    onFailed(utterance, reason);
            });
    };
}

EspeakSpeechSynthesizer::~EspeakSpeechSynthesizer()
{
    // A render still running would post its result to this object; let it finish first.
    // Results already posted die with the object.
    m_engine.waitForRenders();
}

QList<SpeechVoice> EspeakSpeechSynthesizer::voices() const
{
    return m_engine.voices();
}

std::optional<SpeechVoice> EspeakSpeechSynthesizer::defaultVoice(const QString& localeID) const
{
    return m_engine.defaultVoice(localeID);
}

void EspeakSpeechSynthesizer::speak(const SpeechUtterance& utterance)
{
    stop();
    m_current = utterance;
    m_speaking = true;
    m_playing = false;
    const quint64 ticket = m_ticket;
    m_engine.render(
        utterance.voice.identifier, utterance.text, utterance.preUtteranceDelay, utterance.postUtteranceDelay,
        [this, ticket](AudioBufferPtr audio) {
            if (ticket != m_ticket)
                return false;
            QMetaObject::invokeMethod(
                this, [this, ticket, audio = std::move(audio)] { handleAudio(ticket, audio); }, Qt::QueuedConnection);
            return true;
        },
        [this, ticket](const QString& error) {
            QMetaObject::invokeMethod(
                this, [this, ticket, error] { handleRenderEnd(ticket, error); }, Qt::QueuedConnection);
        });
}

void EspeakSpeechSynthesizer::stop()
{
    ++m_ticket;
    if (!m_speaking)
        return;
    m_output->stop();
    end(onCancelled);
}

void EspeakSpeechSynthesizer::handleAudio(quint64 ticket, AudioBufferPtr audio)
{
    if (ticket != m_ticket || !m_speaking)
        return;
    if (std::exchange(m_playing, true))
        m_output->append(std::move(audio));
    else
        m_output->play(std::move(audio));
}

void EspeakSpeechSynthesizer::handleRenderEnd(quint64 ticket, const QString& error)
{
    if (ticket != m_ticket || !m_speaking)
        return;
    if (error.isEmpty()) {
        m_output->endStream();
        return;
    }
    m_output->stop();
    end([this, error](const SpeechUtterance& utterance) {
        if (onFailed)
            onFailed(utterance, error);
    });
}

void EspeakSpeechSynthesizer::end(const std::function<void(const SpeechUtterance&)>& report)
{
    ++m_ticket;
    m_speaking = false;
    // Posted, because stop() must not report from inside itself.
    QMetaObject::invokeMethod(
        this,
        [report, utterance = m_current] {
            if (report)
                report(utterance);
        },
        Qt::QueuedConnection);
}
