#include "TTS/TTSQueue.h"

#include "Speech/MarkdownStripper.h"

#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcTTSQueue, "app.parlivox.tts.queue")

TTSQueue::TTSQueue(SpeechPlayer& player, QObject* parent) : QObject(parent), m_player(player)
{
}

void TTSQueue::enqueue(const QString& sentence)
{
    enqueue(QStringList{sentence});
}

void TTSQueue::enqueue(const QStringList& sentences)
{
    bool added = false;
    for (const QString& sentence : sentences) {
        const QString stripped = MarkdownStripper::strip(sentence);
        if (stripped.isEmpty())
            continue;
        m_pending.append(stripped);
        added = true;
    }
    if (added)
        kickIfIdle();
}

void TTSQueue::cancel()
{
    ++m_drain;
    m_draining = false;
    m_pending.clear();
    m_player.stop();
    m_isSpeaking = false;
    if (onCancelled)
        onCancelled();
    qCInfo(lcTTSQueue, "TTS queue cancelled");
}

void TTSQueue::reset(const QString& localeID)
{
    setLocaleID(localeID);
    m_pending.clear();
}

void TTSQueue::kickIfIdle()
{
    if (m_draining)
        return;
    m_draining = true;
    speakNext(++m_drain);
}

void TTSQueue::speakNext(quint64 drain)
{
    if (m_pending.isEmpty()) {
        m_isSpeaking = false;
        m_draining = false;
        if (onFinishedAll)
            onFinishedAll();
        return;
    }
    const QString sentence = m_pending.takeFirst();
    m_isSpeaking = true;
    if (onStartedSentence)
        onStartedSentence(sentence);
    if (drain != m_drain)
        return;  // the callback cancelled the queue
    m_player.speak(sentence, m_localeID, [self = QPointer<TTSQueue>(this), drain](const auto& error) {
        if (self)
            self->sentenceEnded(drain, error);
    });
}

void TTSQueue::sentenceEnded(quint64 drain, const std::optional<SpeechPlayerError>& error)
{
    if (drain != m_drain)
        return;  // cancelled meanwhile; a newer drain may be running
    if (error)
        qCCritical(lcTTSQueue, "TTS sentence failed: %s", qPrintable(error->description()));
    speakNext(drain);
}
