// Per-buffer cost of the capture path: cutting captured periods into buffers on the capture
// thread, and converting a 48 kHz stereo buffer for the recognizer (downmix, resample, 16-bit).
#include "Audio/AudioChunker.h"
#include "Audio/BufferConverter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr std::int64_t kFrames = 4096;
constexpr double kRate = 48000.0;

// Consecutive stereo buffers of a tone, so the resampler works on a continuous signal.
std::vector<AudioBufferPtr> stereoTone(int count)
{
    std::vector<AudioBufferPtr> buffers;
    for (int b = 0; b < count; ++b) {
        std::vector<float> planar(std::size_t(kFrames * 2));
        for (std::int64_t i = 0; i < kFrames; ++i) {
            const auto value = float(0.3 * std::sin(2.0 * std::numbers::pi * 440.0 * double(b * kFrames + i) / kRate));
            planar[std::size_t(i)] = value;
            planar[std::size_t(kFrames + i)] = -value;
        }
        buffers.push_back(std::make_shared<const AudioBuffer>(AudioFormat{kRate, 2}, std::move(planar), b * kFrames,
                                                              std::chrono::steady_clock::now()));
    }
    return buffers;
}

void convertEach(benchmark::State& state, AudioFormat target, bool toInt16)
{
    const std::vector<AudioBufferPtr> buffers = stereoTone(16);
    BufferConverter converter;
    std::size_t next = 0;
    for (auto _ : state) {
        const AudioBufferPtr converted = converter.convertBuffer(buffers[next], target);
        if (toInt16)
            benchmark::DoNotOptimize(BufferConverter::toInt16(*converted));
        benchmark::DoNotOptimize(converted);
        next = (next + 1) % buffers.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ConvertStereo48kToRecognizerInput(benchmark::State& state)
{
    convertEach(state, {16000, 1}, true);
}
BENCHMARK(BM_ConvertStereo48kToRecognizerInput);

void BM_DownmixStereo48kToMono(benchmark::State& state)
{
    convertEach(state, {kRate, 1}, false);
}
BENCHMARK(BM_DownmixStereo48kToMono);

// 20 ms periods of interleaved stereo, as the sound server hands them over.
void BM_CutCapturedPeriodsIntoBuffers(benchmark::State& state)
{
    const std::vector<float> period(960 * 2, 0.1f);
    AudioChunker chunker({kRate, 2}, kFrames);
    std::int64_t buffers = 0;
    for (auto _ : state) {
        const auto completed = chunker.append(period.data(), 960, std::chrono::steady_clock::now());
        buffers += std::int64_t(completed.size());
        benchmark::DoNotOptimize(completed);
    }
    state.counters["buffers"] = double(buffers);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CutCapturedPeriodsIntoBuffers);

}  // namespace
