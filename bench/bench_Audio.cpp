// Per-buffer cost of the capture path: cutting captured periods into buffers on the capture
// thread, and converting a 48 kHz stereo buffer for the recognizer (downmix, resample, 16-bit);
// and the speaker embedding's cost per second of 48 kHz audio.
#include "Audio/AudioChunker.h"
#include "Audio/BufferConverter.h"
#include "Audio/SpectralEmbedder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr std::int64_t kFrames = 4096;
constexpr double kRate = 48000.0;

// Consecutive stereo buffers of a tone, so the resampler works on a continuous signal.
std::vector<AudioBufferPtr> stereoTone(int count, std::int64_t frames = kFrames)
{
    std::vector<AudioBufferPtr> buffers;
    for (int b = 0; b < count; ++b) {
        std::vector<float> planar(std::size_t(frames * 2));
        for (std::int64_t i = 0; i < frames; ++i) {
            const auto value = float(0.3 * std::sin(2.0 * std::numbers::pi * 440.0 * double(b * frames + i) / kRate));
            planar[std::size_t(i)] = value;
            planar[std::size_t(frames + i)] = -value;
        }
        buffers.push_back(std::make_shared<const AudioBuffer>(AudioFormat{kRate, 2}, std::move(planar), b * frames,
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

// One iteration embeds one second of 48 kHz stereo audio (12 buffers of 4000 frames), so the
// time per iteration is the share of one core the classifier's worker needs.
void BM_EmbedOneSecondOf48kAudio(benchmark::State& state)
{
    const std::vector<AudioBufferPtr> second = stereoTone(12, 4000);
    SpectralEmbedder embedder;
    for (auto _ : state) {
        for (const AudioBufferPtr& buffer : second)
            embedder.accumulate(*buffer);
        benchmark::DoNotOptimize(embedder.finalize());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kRate));
}
BENCHMARK(BM_EmbedOneSecondOf48kAudio)->Unit(benchmark::kMillisecond);

}  // namespace
