#pragma once

#include "Conversation/ConversationTurn.h"
#include "Endpointing/GazeStatus.h"
#include "Endpointing/HeadPose.h"
#include "Persistence/ConversationPhase.h"
#include "Skills/PendingSkill.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

// What the window shows of the conversation engine: every value the engine publishes, each
// with one changed signal, emitted only when the value really changes. GUI thread only.
//
// The engine is the one writer. The setters are public rather than reserved to a friend
// engine: views receive a `const EngineState&`, so the compiler already keeps them to
// reading, while widget tests need a writable state to draw their scenarios without an
// engine. Whether the user is resting is not here: the rest window is a setting
// (AppSettings::restingUntil), as is the mode.
class EngineState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(ConversationPhase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(bool enabled READ isEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QString liveTranscript READ liveTranscript NOTIFY liveTranscriptChanged)
    Q_PROPERTY(QString assistantMessage READ assistantMessage NOTIFY assistantMessageChanged)
    Q_PROPERTY(QList<ConversationTurn> lastTurns READ lastTurns NOTIFY lastTurnsChanged)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(std::optional<PendingSkill> pendingSkill READ pendingSkill NOTIFY pendingSkillChanged)
    Q_PROPERTY(bool cameraActive READ cameraActive NOTIFY cameraActiveChanged)
    Q_PROPERTY(GazeStatus gazeStatus READ gazeStatus NOTIFY gazeStatusChanged)
    Q_PROPERTY(HeadPose headPose READ headPose NOTIFY headPoseChanged)
    Q_PROPERTY(double faceProcessingMs READ faceProcessingMs NOTIFY faceProcessingMsChanged)
    Q_PROPERTY(QString lastFireReason READ lastFireReason NOTIFY lastFireReasonChanged)
    Q_PROPERTY(std::optional<QDateTime> lastFireAt READ lastFireAt NOTIFY lastFireAtChanged)
    Q_PROPERTY(bool hasStartedSpeaking READ hasStartedSpeaking NOTIFY hasStartedSpeakingChanged)
    Q_PROPERTY(std::optional<QDateTime> firstMicActivityAt READ firstMicActivityAt NOTIFY firstMicActivityAtChanged)
    Q_PROPERTY(std::optional<QUrl> currentRecordingURL READ currentRecordingURL NOTIFY currentRecordingURLChanged)
public:
    explicit EngineState(QObject* parent = nullptr);

    // The pipeline's phase; idle until a session starts.
    ConversationPhase phase() const { return m_phase; }
    void setPhase(ConversationPhase phase);

    // Whether the user has switched listening on (clocked in).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The whole transcript of the current user turn so far; empty between turns.
    QString liveTranscript() const { return m_liveTranscript; }
    void setLiveTranscript(const QString& text);

    // The reply being received, up to any tool-call line; empty between replies.
    QString assistantMessage() const { return m_assistantMessage; }
    void setAssistantMessage(const QString& text);

    // The recent history the chat shows, oldest first.
    const QList<ConversationTurn>& lastTurns() const { return m_lastTurns; }
    void setLastTurns(const QList<ConversationTurn>& turns);

    // The last error; the talk tab shows its banner while one is set.
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const std::optional<QString>& message);

    // The skill call waiting for the user's consent; the confirmation card shows while set.
    const std::optional<PendingSkill>& pendingSkill() const { return m_pendingSkill; }
    void setPendingSkill(const std::optional<PendingSkill>& skill);

    // Whether camera frames are being captured (from the user's first speech to the turn's end).
    bool cameraActive() const { return m_cameraActive; }
    void setCameraActive(bool active);

    GazeStatus gazeStatus() const { return m_gazeStatus; }
    void setGazeStatus(GazeStatus status);

    HeadPose headPose() const { return m_headPose; }
    void setHeadPose(const HeadPose& pose);

    // Smoothed face-tracking time per camera frame, in milliseconds.
    double faceProcessingMs() const { return m_faceProcessingMs; }
    void setFaceProcessingMs(double ms);

    // Why the end-of-turn detector last fired; an em dash before the first fire.
    QString lastFireReason() const { return m_lastFireReason; }
    void setLastFireReason(const QString& reason);

    // Wall time of the detector's last fire.
    const std::optional<QDateTime>& lastFireAt() const { return m_lastFireAt; }
    void setLastFireAt(const std::optional<QDateTime>& at);

    // Latched at the user's first microphone activity of a turn, with its wall time.
    bool hasStartedSpeaking() const { return m_hasStartedSpeaking; }
    void setHasStartedSpeaking(bool started);
    const std::optional<QDateTime>& firstMicActivityAt() const { return m_firstMicActivityAt; }
    void setFirstMicActivityAt(const std::optional<QDateTime>& at);

    // The minutes recording (a local file); none while minutes capture has made none.
    const std::optional<QUrl>& currentRecordingURL() const { return m_currentRecordingURL; }
    void setCurrentRecordingURL(const std::optional<QUrl>& url);

signals:
    void phaseChanged();
    void enabledChanged();
    void liveTranscriptChanged();
    void assistantMessageChanged();
    void lastTurnsChanged();
    void errorMessageChanged();
    void pendingSkillChanged();
    void cameraActiveChanged();
    void gazeStatusChanged();
    void headPoseChanged();
    void faceProcessingMsChanged();
    void lastFireReasonChanged();
    void lastFireAtChanged();
    void hasStartedSpeakingChanged();
    void firstMicActivityAtChanged();
    void currentRecordingURLChanged();

private:
    ConversationPhase m_phase = ConversationPhase::idle;
    bool m_enabled = false;
    QString m_liveTranscript;
    QString m_assistantMessage;
    QList<ConversationTurn> m_lastTurns;
    std::optional<QString> m_errorMessage;
    std::optional<PendingSkill> m_pendingSkill;
    bool m_cameraActive = false;
    GazeStatus m_gazeStatus = GazeStatus::noFace;
    HeadPose m_headPose;
    double m_faceProcessingMs = 0.0;
    QString m_lastFireReason;
    std::optional<QDateTime> m_lastFireAt;
    bool m_hasStartedSpeaking = false;
    std::optional<QDateTime> m_firstMicActivityAt;
    std::optional<QUrl> m_currentRecordingURL;
};
