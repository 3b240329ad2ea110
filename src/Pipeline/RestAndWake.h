#pragma once

#include "Pipeline/RestWindow.h"
#include "Support/Scheduler.h"

#include <QDateTime>
#include <QMetaObject>

#include <chrono>
#include <functional>
#include <optional>

class AdaptiveTurnDetector;
class AppSettings;
class AssistantVoice;
class EngineState;
class HistoryRecorder;
class LiveTranscript;
class PhaseStateMachine;
class PipelineLog;
class TTSQueue;

// The rest window of a session: while AppSettings::restingUntil holds a date the session runs
// on but takes no turn, and every transcript goes only to the wake check. The window ends at
// its wall-clock deadline (looked at again at least every kDeadlineCheck, so a machine that
// slept past it wakes at once), at the wake phrase, at the wake button or, silently, at the
// session's end. Waking says a back-to-work line. GUI thread only.
//
// The assistant's own voice never wakes it: while it speaks the wake check is skipped, and
// what the recognizer heard of the speech is forgotten when the speech ends (the rest
// confirmation itself names the wake phrase).
class RestAndWake final : public RestWindow {
public:
    static constexpr std::chrono::minutes kButtonRest{60};
    static constexpr std::chrono::seconds kDeadlineCheck{60};
    // A transcript this long during a rest is forgotten, so it cannot grow without bound.
    static constexpr qsizetype kMaxHeardChars = 400;

    struct Parts {
        AppSettings& settings;
        Scheduler& scheduler;
        const EngineState& state;
        PhaseStateMachine& phase;
        PipelineLog& log;
        AdaptiveTurnDetector& turnDetector;
        HistoryRecorder& history;
        AssistantVoice& voice;
        LiveTranscript& transcript;
        const TTSQueue& speech;
        std::function<void()> stopReply;  // the reply in flight; thinking or speaking → listening
        std::function<void()> resetRecognizer;  // the recognizer's transcript starts afresh
    };

    explicit RestAndWake(Parts parts);
    ~RestAndWake() override;
    RestAndWake(const RestAndWake&) = delete;
    RestAndWake& operator=(const RestAndWake&) = delete;

    void setRestWindow(const QDateTime& until) override;
    void restNow() override;
    void wakeFromRest(const QString& reason) override;
    void hearWhileResting(const QString& transcript) override;
    void speechFinished() override;
    void cancel() override;

private:
    void restWindowChanged();
    void checkDeadline();

    Parts m_parts;
    std::optional<QDateTime> m_window;  // the last value seen, so a repeat changes nothing
    SingleShot m_timer;
    QMetaObject::Connection m_watch;
};
