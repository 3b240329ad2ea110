#include "Endpointing/HeuristicTurnDetector.h"

#include "Support/Text.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcHeuristicTurn, "app.parlivox.endpointing.heuristic")

}  // namespace

HeuristicTurnDetector::HeuristicTurnDetector(Scheduler& scheduler) : m_silenceTask(scheduler), m_dwellTask(scheduler)
{
}

void HeuristicTurnDetector::handle(const VoiceActivity& activity)
{
    switch (activity.kind()) {
    case VoiceActivity::Kind::speechStarted:
        m_hasReceivedSpeech = true;
        m_silenceTask.cancel();  // the dwell timer runs on
        break;
    case VoiceActivity::Kind::speechEnded: {
        const int lengthMs = m_tuning.silenceTimeoutMs;
        m_silenceTask.start(std::chrono::milliseconds(lengthMs), [this, lengthMs, snapshot = m_currentTranscript] {
            readyCheck(QStringLiteral("silence %1ms after speech end").arg(lengthMs), snapshot);
        });
        break;
    }
    case VoiceActivity::Kind::level:
        break;
    }
}

void HeuristicTurnDetector::handle(const QString& transcript)
{
    if (transcript == m_currentTranscript)
        return;
    m_currentTranscript = transcript;
    const int lengthMs = m_tuning.transcriptDwellMs;
    m_dwellTask.start(std::chrono::milliseconds(lengthMs), [this, lengthMs, snapshot = m_currentTranscript] {
        readyCheck(QStringLiteral("transcript dwell %1ms").arg(lengthMs), snapshot);
    });
}

void HeuristicTurnDetector::reset()
{
    m_currentTranscript.clear();
    m_hasReceivedSpeech = false;
    m_silenceTask.cancel();
    m_dwellTask.cancel();
}

void HeuristicTurnDetector::readyCheck(const QString& reason, const QString& snapshot)
{
    if (!m_hasReceivedSpeech)
        return;
    const QString text = Text::trimmed(m_currentTranscript);
    if (Text::graphemeCount(text) < m_tuning.minTranscriptChars || m_currentTranscript != snapshot)
        return;
    qCInfo(lcHeuristicTurn, "turn ended: %s — '%s'", qUtf8Printable(reason), qUtf8Printable(text));
    reset();
    if (onTurnEnded) {
        const auto callback = onTurnEnded;
        callback(text);
    }
}
