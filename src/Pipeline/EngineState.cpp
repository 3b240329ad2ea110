#include "Pipeline/EngineState.h"

namespace {
// Stores the value and says whether it differed, so each setter emits only on a real change.
template <typename T>
bool assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
}  // namespace

EngineState::EngineState(QObject* parent) : QObject(parent), m_lastFireReason(QStringLiteral("\u2014"))
{
}

void EngineState::setPhase(ConversationPhase phase)
{
    if (assign(m_phase, phase))
        emit phaseChanged();
}

void EngineState::setEnabled(bool enabled)
{
    if (assign(m_enabled, enabled))
        emit enabledChanged();
}

void EngineState::setLiveTranscript(const QString& text)
{
    if (assign(m_liveTranscript, text))
        emit liveTranscriptChanged();
}

void EngineState::setAssistantMessage(const QString& text)
{
    if (assign(m_assistantMessage, text))
        emit assistantMessageChanged();
}

void EngineState::setLastTurns(const QList<ConversationTurn>& turns)
{
    if (assign(m_lastTurns, turns))
        emit lastTurnsChanged();
}

void EngineState::setErrorMessage(const std::optional<QString>& message)
{
    if (assign(m_errorMessage, message))
        emit errorMessageChanged();
}

void EngineState::setPendingSkill(const std::optional<PendingSkill>& skill)
{
    if (assign(m_pendingSkill, skill))
        emit pendingSkillChanged();
}

void EngineState::setCameraActive(bool active)
{
    if (assign(m_cameraActive, active))
        emit cameraActiveChanged();
}

void EngineState::setGazeStatus(GazeStatus status)
{
    if (assign(m_gazeStatus, status))
        emit gazeStatusChanged();
}

void EngineState::setHeadPose(const HeadPose& pose)
{
    if (assign(m_headPose, pose))
        emit headPoseChanged();
}

void EngineState::setFaceProcessingMs(double ms)
{
    if (assign(m_faceProcessingMs, ms))
        emit faceProcessingMsChanged();
}

void EngineState::setLastFireReason(const QString& reason)
{
    if (assign(m_lastFireReason, reason))
        emit lastFireReasonChanged();
}

void EngineState::setLastFireAt(const std::optional<QDateTime>& at)
{
    if (assign(m_lastFireAt, at))
        emit lastFireAtChanged();
}

void EngineState::setHasStartedSpeaking(bool started)
{
    if (assign(m_hasStartedSpeaking, started))
        emit hasStartedSpeakingChanged();
}

void EngineState::setFirstMicActivityAt(const std::optional<QDateTime>& at)
{
    if (assign(m_firstMicActivityAt, at))
        emit firstMicActivityAtChanged();
}

void EngineState::setCurrentRecordingURL(const std::optional<QUrl>& url)
{
    if (assign(m_currentRecordingURL, url))
        emit currentRecordingURLChanged();
}
