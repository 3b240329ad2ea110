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
    const quint64 ticket = m_ticket;
    m_engine.render(utterance.voice.identifier, utterance.text, utterance.preUtteranceDelay,
                    utterance.postUtteranceDelay, [this, ticket](const EspeakEngine::Rendering& rendering) {
                        QMetaObject::invokeMethod(
                            this, [this, ticket, rendering] { handleRendering(ticket, rendering); },
                            Qt::QueuedConnection);
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

void EspeakSpeechSynthesizer::handleRendering(quint64 ticket, const EspeakEngine::Rendering& rendering)
{
    if (ticket != m_ticket || !m_speaking)
        return;
    if (rendering.audio) {
        m_output->play(rendering.audio);
        return;
    }
    end([this, reason = rendering.error](const SpeechUtterance& utterance) {
        if (onFailed)
            onFailed(utterance, reason);
    });
}

void EspeakSpeechSynthesizer::end(const std::function<void(const SpeechUtterance&)>& report)
{
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
