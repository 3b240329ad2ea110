#include "Pipeline/StatisticsLoop.h"

#include "Conversation/ConversationHistory.h"
#include "Diagnostics/PipelineLog.h"
#include "Diagnostics/SystemMonitor.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Support/Text.h"

StatisticsLoop::StatisticsLoop(Parts parts, Sources sources)
    : m_parts(parts), m_sources(std::move(sources)), m_sessionStartedAt(parts.scheduler.now()),
      m_lastLongRunAt(m_sessionStartedAt), m_timer(parts.scheduler)
{
    m_timer.start(kTick, [this] { tick(); });
}

void StatisticsLoop::tick()
{
    const int audioBuffers = m_sources.takeAudioBuffers();
    const int cameraFrames = m_sources.takeCameraFrames ? m_sources.takeCameraFrames() : 0;
    if (m_parts.settings.probeStatsLoggingEnabled()) {
        const EngineState& state = m_parts.state;
        const QString faceAge = m_sources.faceAge ? m_sources.faceAge() : QStringLiteral("never");
        m_parts.log.record(
            QStringLiteral("stats"),
            QString::asprintf("audio.buf/0.5s=%d mic=%.2f vad=%s cam.frames/0.5s=%d gaze=%s face_age=%s "
                              "transcript.len=%d phase=%s stt=%s",
                              audioBuffers, m_parts.micLevel.level(), qPrintable(m_sources.lastVadEvent()),
                              cameraFrames, qPrintable(rawValue(state.gazeStatus())), qPrintable(faceAge),
                              int(Text::graphemeCount(state.liveTranscript())), qPrintable(rawValue(state.phase())),
                              m_sources.recognizerLive() ? "live" : "nil"));
    }
    if (m_parts.settings.probePauseSamplesAutoTrim())
        m_parts.turnDetector.trimPauseSamples(kPauseSamplesKept);
    maybeEmitLongRun();
    m_timer.start(kTick, [this] { tick(); });
}

void StatisticsLoop::maybeEmitLongRun()
{
    const Scheduler::TimePoint now = m_parts.scheduler.now();
    if (now - m_lastLongRunAt < kLongRunEvery)
        return;
    m_lastLongRunAt = now;
    const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(now - m_sessionStartedAt).count();
    const SystemMonitor::Reading reading = m_parts.systemMonitor.sample();
    m_parts.log.record(QStringLiteral("longrun"),
                       QString::asprintf("t=%dmin rss=%.1fMB cpu=%.1f%%(%.1f/%dcore) pauseSamples=%d logEntries=%d "
                                         "historyTurns=%d phase=%s",
                                         int(minutes), double(reading.memoryRSS) / 1048576.0, reading.cpuPercent,
                                         reading.cpuPercentRaw / 100.0, reading.coreCount,
                                         m_parts.turnDetector.pauseSamplesCount(), int(m_parts.log.entries().size()),
                                         int(m_parts.history.recentTurns().size()),
                                         qPrintable(rawValue(m_parts.state.phase()))));
}
