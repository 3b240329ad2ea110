// Per-buffer cost of always-on listening: the energy detector alone, and together with the
// turn detector fed the way the conversation engine feeds it, on the production scheduler.
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Support/QtScheduler.h"
#include "VAD/EnergyVAD.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kFrames = 4096;
constexpr double kRate = 48000.0;

// Twenty 4096-frame buffers at 48 kHz: 8 of speech-like tone, then 12 of faint noise, so
// every cycle has one onset and one end. Replayed cyclically, the detector sees a capture
// that restarts and carries its audio clock on.
std::vector<AudioBuffer> speechCycle()
{
    std::vector<AudioBuffer> buffers;
    std::int64_t position = 0;
    for (int b = 0; b < 20; ++b) {
        const float amplitude = b < 8 ? 0.1f : 0.0005f;
        std::vector<float> samples(kFrames);
        for (int i = 0; i < kFrames; ++i)
            samples[static_cast<std::size_t>(i)] =
                amplitude * static_cast<float>(
                                std::sin(2.0 * std::numbers::pi * 220.0 * static_cast<double>(position + i) / kRate));
        buffers.emplace_back(AudioFormat{kRate, 1}, std::move(samples), position, std::chrono::steady_clock::now());
        position += kFrames;
    }
    return buffers;
}

void BM_EnergyVADPerBuffer(benchmark::State& state)
{
    const std::vector<AudioBuffer> buffers = speechCycle();
    EnergyVAD vad(0.012, 3, 150);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vad.process(buffers[next]));
        next = (next + 1) % buffers.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * kFrames * static_cast<std::int64_t>(sizeof(float)));
}
BENCHMARK(BM_EnergyVADPerBuffer);

void BM_EnergyVADAndTurnDetectorPerBuffer(benchmark::State& state)
{
    const std::vector<AudioBuffer> buffers = speechCycle();
    QtScheduler scheduler;
    EnergyVAD vad(0.012, 3, 150);
    AdaptiveTurnDetector detector(scheduler);
    std::size_t next = 0;
    for (auto _ : state) {
        for (const VoiceActivity& event : vad.process(buffers[next])) {
            if (event.kind() == VoiceActivity::Kind::level)
                detector.updateMicLevel(event.levelValue());
            detector.handle(event);
        }
        next = (next + 1) % buffers.size();
        if (next == 0) {
            // Release the silence timers that each new onset cancelled, as the event loop would.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            detector.reset();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EnergyVADAndTurnDetectorPerBuffer);

}  // namespace
