// What the conversation engine itself costs: listening to a silent microphone, per second of
// audio, through the listening loop (level meter, energy detector, turn and barge-in
// detectors), the recognizer's own decoding aside (bench_STT measures that).
#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/ListeningLoop.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"
#include "VAD/EnergyVAD.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr std::int64_t kFrames = 4096;
constexpr AudioFormat kMicrophone{48000.0, 2};

// One second of a quiet room as the microphone delivers it: 4096-frame stereo buffers.
std::vector<AudioBufferPtr> silentSecond(std::int64_t& position)
{
    std::vector<AudioBufferPtr> buffers;
    const auto count = std::int64_t(kMicrophone.sampleRate) / kFrames + 1;
    for (std::int64_t b = 0; b < count; ++b) {
        std::vector<float> planar(std::size_t(kFrames * kMicrophone.channels), 0.0004f);
        buffers.push_back(std::make_shared<const AudioBuffer>(kMicrophone, std::move(planar), position,
                                                              std::chrono::steady_clock::now()));
        position += kFrames;
    }
    return buffers;
}

void BM_ListeningPerAudioSecondSilentMicrophone(benchmark::State& state)
{
    QTemporaryDir directory;
    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    QtScheduler scheduler;
    PhaseStateMachine fsm(scheduler);
    PipelineLog log(scheduler);
    EnergyVAD vad(0.012, 3, 150);
    AdaptiveTurnDetector turnDetector(scheduler);
    BargeInDetector bargeIn(scheduler, 350);
    MicLevelMonitor micLevel;
    fsm.transition(ConversationPhase::listening, QStringLiteral("session start"));
    ListeningLoop loop({settings, fsm, log, vad, turnDetector, bargeIn, micLevel}, nullptr, nullptr);
    std::int64_t position = 0;
    const std::vector<AudioBufferPtr> second = silentSecond(position);
    for (auto _ : state) {
        for (const AudioBufferPtr& buffer : second)
            loop.handle(buffer);
    }
    // Seconds of audio handled per second of one core: 100 / this is the share of a core, in %.
    state.counters["audio_s_per_cpu_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ListeningPerAudioSecondSilentMicrophone);

}  // namespace
