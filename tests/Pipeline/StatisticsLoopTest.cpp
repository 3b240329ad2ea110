#include "Pipeline/StatisticsLoop.h"

#include "Common/FakeScheduler.h"
#include "Conversation/ConversationHistory.h"
#include "Diagnostics/PipelineLog.h"
#include "Diagnostics/SystemMonitor.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Support/UserDefaults.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;

TEST(StatisticsLoop, EveryHalfSecondTheStatsLineAndOnceAMinuteTheLongRunLine)
{
    QTemporaryDir directory;
    FakeScheduler scheduler;
    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    PipelineLog log(scheduler);
    EngineState state;
    MicLevelMonitor micLevel;
    AdaptiveTurnDetector turnDetector(scheduler);
    ConversationHistory history;
    SystemMonitor monitor;
    settings.setProbeStatsLoggingEnabled(true);
    state.setPhase(ConversationPhase::listening);
    state.setLiveTranscript(QStringLiteral("안녕하세요"));
    micLevel.setLevel(0.254);
    int buffers = 11;
    StatisticsLoop::Sources sources;
    sources.takeAudioBuffers = [&] { return std::exchange(buffers, 0); };
    sources.lastVadEvent = [] { return QStringLiteral("started"); };
    sources.recognizerLive = [] { return true; };
    StatisticsLoop loop({scheduler, log, settings, state, micLevel, turnDetector, history, monitor}, sources);
    const auto lines = [&](const QString& category) {
        QStringList found;
        for (const PipelineLog::Entry& entry : log.entries())
            if (entry.category == category)
                found << entry.message;
        return found;
    };

    scheduler.advance(499ms);
    EXPECT_TRUE(log.entries().isEmpty());
    scheduler.advance(1ms);
    EXPECT_EQ(lines("stats"), QStringList{"audio.buf/0.5s=11 mic=0.25 vad=started cam.frames/0.5s=0 gaze=noFace "
                                          "face_age=never transcript.len=5 phase=listening stt=live"});

    // Without the probe the counts still restart at every tick.
    settings.setProbeStatsLoggingEnabled(false);
    buffers = 3;
    scheduler.advance(500ms);
    EXPECT_EQ(buffers, 0);
    EXPECT_EQ(lines("stats").size(), 1);

    scheduler.advance(59s - 1ms);
    EXPECT_TRUE(lines("longrun").isEmpty());
    scheduler.advance(1ms);
    ASSERT_EQ(lines("longrun").size(), 1);
    const QRegularExpression longRun(QStringLiteral(R"(^t=1min rss=\d+\.\dMB cpu=\d+\.\d%\(\d+\.\d/\d+core\) )"
                                                    R"(pauseSamples=0 logEntries=1 historyTurns=0 phase=listening$)"));
    EXPECT_TRUE(longRun.match(lines("longrun").first()).hasMatch()) << lines("longrun").first().toStdString();
    scheduler.advance(60s);
    EXPECT_EQ(lines("longrun").size(), 2);
    EXPECT_TRUE(lines("longrun").last().startsWith(QStringLiteral("t=2min ")));
}
}  // namespace
