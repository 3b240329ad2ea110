// Speech recognition cost on the recorded phrase "go forward ten meters": the real-time
// factor of the whole recognizer (decoder thread, segmentation, hand-over to the GUI thread)
// side by side with a bare pocketsphinx loop over the same audio, both in process CPU time
// up to the end of the phrase, then both again fed at the pace a microphone delivers, and
// the cost of feed() on the caller's thread.
#include "Platform/PocketsphinxDecoder.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Support/QtScheduler.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "Measures.h"

#include <benchmark/benchmark.h>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr std::int64_t kFrames = 4096;

// The recording at 16 kHz, then just enough silence (0.6 s) for the decoder to end the phrase.
std::vector<std::int16_t> recording()
{
    QFile file(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray raw = file.readAll();
    std::vector<std::int16_t> samples(std::size_t(raw.size() / 2) + 9600, 0);
    std::memcpy(samples.data(), raw.constData(), std::size_t(raw.size() / 2) * 2);
    return samples;
}

double seconds(const std::vector<std::int16_t>& samples)
{
    return double(samples.size()) / 16000.0;
}

// The recording as capture buffers in `format` (mono copied to every channel).
std::vector<AudioBufferPtr> asBuffers(const std::vector<std::int16_t>& samples, AudioFormat format)
{
    const double step = 16000.0 / format.sampleRate;
    const auto total = std::int64_t(double(samples.size()) / step);
    std::vector<AudioBufferPtr> buffers;
    for (std::int64_t start = 0; start < total; start += kFrames) {
        const std::int64_t frames = std::min(kFrames, total - start);
        std::vector<float> planar(std::size_t(frames * format.channels));
        for (int channel = 0; channel < format.channels; ++channel)
            for (std::int64_t i = 0; i < frames; ++i)
                planar[std::size_t(channel * frames + i)] =
                    float(samples[std::size_t(double(start + i) * step)]) / 32768.0f;
        buffers.push_back(
            std::make_shared<const AudioBuffer>(format, std::move(planar), start, std::chrono::steady_clock::now()));
    }
    return buffers;
}

void startAndWait(SystemStreamingRecognizer& recognizer, AudioFormat format, QEventLoop& loop)
{
    bool started = false;
    recognizer.start(QStringLiteral("en-US"), format, [&](std::optional<QString>) { started = true; });
    while (!started)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

// A bare pocketsphinx decoder on the installed model, freed with the object; without one
// the benchmark is skipped.
class BareDecoder {
public:
    explicit BareDecoder(benchmark::State& state)
    {
        err_set_logfp(nullptr);
        const SpeechModel model = PocketsphinxDecoder::installedModels().value(0);
        const QByteArray hmm = model.acousticModel.toLocal8Bit(), lm = model.languageModel.toLocal8Bit(),
                         dict = model.dictionary.toLocal8Bit();
        m_config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(), "-dict",
                               dict.constData(), "-samprate", "16000", nullptr);
        m_decoder = m_config ? ps_init(m_config) : nullptr;
        if (!m_decoder)
            state.SkipWithError("no pocketsphinx model");
    }
    ~BareDecoder()
    {
        if (m_decoder)
            ps_free(m_decoder);
        if (m_config)
            cmd_ln_free_r(m_config);
    }
    BareDecoder(const BareDecoder&) = delete;
    BareDecoder& operator=(const BareDecoder&) = delete;

    ps_decoder_t* get() const { return m_decoder; }

private:
    cmd_ln_t* m_config = nullptr;
    ps_decoder_t* m_decoder = nullptr;
};

void BM_BarePocketsphinxLoop(benchmark::State& state)
{
    const std::vector<std::int16_t> samples = recording();
    const BareDecoder bare(state);
    ps_decoder_t* decoder = bare.get();
    if (!decoder)
        return;
    for (auto _ : state) {
        ps_start_utt(decoder);
        bool wasInSpeech = false;
        for (std::size_t start = 0; start < samples.size(); start += kFrames) {
            ps_process_raw(decoder, samples.data() + start, std::min<std::size_t>(kFrames, samples.size() - start),
                           FALSE, FALSE);
            const bool inSpeech = ps_get_in_speech(decoder);
            int32 score = 0;
            if (inSpeech)
                benchmark::DoNotOptimize(ps_get_hyp(decoder, &score));
            if (wasInSpeech && !inSpeech)
                break;  // the phrase is over: where the recognizer's measure stops too
            wasInSpeech = inSpeech;
        }
        ps_end_utt(decoder);
        int32 score = 0;
        benchmark::DoNotOptimize(ps_get_hyp(decoder, &score));
    }
    state.counters["realTimeFactor"] = benchmark::Counter(double(state.iterations()) * seconds(samples),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BarePocketsphinxLoop)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", minimum);

// Arguments: sample rate and channel count of the fed buffers.
void BM_RecognizerPath(benchmark::State& state)
{
    const std::vector<std::int16_t> samples = recording();
    const std::vector<AudioBufferPtr> buffers = asBuffers(samples, {double(state.range(0)), int(state.range(1))});
    QtScheduler scheduler;
    SystemStreamingRecognizer recognizer(scheduler, PocketsphinxDecoder::installedEngine());
    int segmentsEnded = 0;
    recognizer.onDiagnostic = [&](const QString& line) {
        if (line.startsWith(QLatin1String("spawnTask")))
            ++segmentsEnded;
    };
    QEventLoop loop;
    startAndWait(recognizer, buffers.front()->format(), loop);
    for (auto _ : state) {
        recognizer.resetTranscriptState();
        const int before = segmentsEnded;  // the reset's own spawn line included
        for (const AudioBufferPtr& buffer : buffers)
            recognizer.feed(buffer);
        while (segmentsEnded == before)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["realTimeFactor"] = benchmark::Counter(double(state.iterations()) * seconds(samples),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecognizerPath)
    ->Args({16000, 1})
    ->Args({48000, 2})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", minimum);

// Calls `step` for each of `count` buffers of `seconds` each at the moment a microphone would
// have delivered it, `wait` passing the time in between; reports the share of one core used.
template <typename Wait>
void atLivePace(benchmark::State& state, std::size_t count, double seconds,
                const std::function<void(std::size_t)>& step, Wait wait)
{
    const auto buffer =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    auto due = wallBefore;
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) {
            due += buffer;
            wait(due);
            step(i);
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    state.counters["core%"] = 100.0 * (processCpuSeconds() - cpuBefore) / wall;
}

// One iteration is one pass over the recording and its silence, at live pace; the bare loop
// cuts utterances where the decoder hears speech end, as the recognizer's decoder thread does.
// Argument: the sample rate whose 4096-frame buffers set the pace.
void BM_BarePocketsphinxAtLivePace(benchmark::State& state)
{
    const std::vector<std::int16_t> samples = recording();
    const BareDecoder bare(state);
    ps_decoder_t* decoder = bare.get();
    if (!decoder)
        return;
    const auto step = std::size_t(double(kFrames) * 16000.0 / double(state.range(0)));
    ps_start_utt(decoder);
    bool wasInSpeech = false;
    atLivePace(
        state, (samples.size() + step - 1) / step, double(kFrames) / double(state.range(0)),
        [&](std::size_t i) {
            const std::size_t start = i * step;
            ps_process_raw(decoder, samples.data() + start, std::min(step, samples.size() - start), FALSE, FALSE);
            const bool inSpeech = ps_get_in_speech(decoder);
            int32 score = 0;
            if (inSpeech)
                benchmark::DoNotOptimize(ps_get_hyp(decoder, &score));
            if (wasInSpeech && !inSpeech) {
                ps_end_utt(decoder);
                benchmark::DoNotOptimize(ps_get_hyp(decoder, &score));
                ps_start_utt(decoder);
            }
            wasInSpeech = inSpeech;
        },
        [](std::chrono::steady_clock::time_point due) { std::this_thread::sleep_until(due); });
    ps_end_utt(decoder);
}
BENCHMARK(BM_BarePocketsphinxAtLivePace)
    ->Arg(16000)
    ->Arg(48000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->ComputeStatistics("min", minimum);

// The recognizer fed the same way from the event loop. Arguments: sample rate and channels.
void BM_RecognizerAtLivePace(benchmark::State& state)
{
    const AudioFormat format{double(state.range(0)), int(state.range(1))};
    const std::vector<AudioBufferPtr> buffers = asBuffers(recording(), format);
    QtScheduler scheduler;
    SystemStreamingRecognizer recognizer(scheduler, PocketsphinxDecoder::installedEngine());
    QEventLoop loop;
    startAndWait(recognizer, format, loop);
    atLivePace(
        state, buffers.size(), double(kFrames) / format.sampleRate, [&](std::size_t i) { recognizer.feed(buffers[i]); },
        [&](std::chrono::steady_clock::time_point due) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return;
            QTimer::singleShot(left, Qt::PreciseTimer, &loop, &QEventLoop::quit);
            loop.exec();
        });
}
BENCHMARK(BM_RecognizerAtLivePace)
    ->Args({16000, 1})
    ->Args({48000, 2})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->ComputeStatistics("min", minimum);

// What the GUI thread pays per captured 48 kHz stereo buffer while the decoder works.
void BM_FeedOnTheCallersThread(benchmark::State& state)
{
    const std::vector<AudioBufferPtr> buffers = asBuffers(recording(), {48000, 2});
    QtScheduler scheduler;
    SystemStreamingRecognizer recognizer(scheduler, PocketsphinxDecoder::installedEngine());
    QEventLoop loop;
    startAndWait(recognizer, {48000, 2}, loop);
    std::size_t next = 0;
    for (auto _ : state) {
        recognizer.feed(buffers[next]);
        next = (next + 1) % buffers.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FeedOnTheCallersThread)->Unit(benchmark::kMicrosecond);

}  // namespace
