// Per-buffer cost of the capture path: cutting captured periods into buffers on the capture
// thread, and converting a 48 kHz stereo buffer for the recognizer (downmix, resample, 16-bit);
// the speaker labels' cost per second of 48 kHz audio (each embedder, the whole classifier,
// and the bare transforms beneath them) and how often they keep recorded people apart; and
// what always-on listening costs on a live microphone.
#include "Audio/AudioChunker.h"
#include "Audio/AudioInputStream.h"
#include "Audio/AudioSubscription.h"
#include "Audio/BufferConverter.h"
#include "Audio/RealFft.h"
#include "Audio/SpeakerClassifier.h"
#include "Audio/SpeakerRoster.h"
#include "Audio/SpectralEmbedder.h"
#include "Audio/VoiceprintEmbedder.h"
#include "Common/PulseAudioServer.h"
#include "Common/RecordedVoices.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Platform/PocketsphinxDecoder.h"
#include "Platform/PulseCaptureBackend.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Support/QtScheduler.h"
#include "VAD/EnergyVAD.h"

#include <QAudioSource>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include "Measures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <random>
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

// Each of these handles one second of 48 kHz stereo speech-like audio (a tone, voiced in every
// frame, so the voiceprint's pitch search runs everywhere) per iteration, as 12 buffers of
// 4000 frames: the time per iteration is the share of one core it needs.
const std::vector<AudioBufferPtr>& oneSecond()
{
    static const std::vector<AudioBufferPtr> second = stereoTone(12, 4000);
    return second;
}

// The floor beneath the band vector: its 187.5 transforms of 1024 points, nothing else.
void BM_BareFftOneSecondOf48kAudio(benchmark::State& state)
{
    RealFft fft(SpectralEmbedder::kFrameLength);
    std::fill_n(fft.samples(), fft.size(), 0.25f);
    const int frames = int(kRate) / SpectralEmbedder::kHop;
    for (auto _ : state) {
        for (int frame = 0; frame < frames; ++frame)
            fft.forward();
        benchmark::DoNotOptimize(fft.spectrum());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kRate));
}
BENCHMARK(BM_BareFftOneSecondOf48kAudio)->Unit(benchmark::kMillisecond);

void BM_EmbedOneSecondOf48kAudio(benchmark::State& state)
{
    SpectralEmbedder embedder;
    for (auto _ : state) {
        for (const AudioBufferPtr& buffer : oneSecond())
            embedder.accumulate(*buffer);
        benchmark::DoNotOptimize(embedder.finalize());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kRate));
}
BENCHMARK(BM_EmbedOneSecondOf48kAudio)->Unit(benchmark::kMillisecond);

// A one-second utterance: downmix and resampling to 16 kHz, 100 frames of two 1024-point
// transforms each (spectrum, autocorrelation), and the print.
void BM_VoiceprintOneSecondOf48kAudio(benchmark::State& state)
{
    VoiceprintEmbedder embedder;
    for (auto _ : state) {
        for (const AudioBufferPtr& buffer : oneSecond())
            embedder.accumulate(buffer);
        benchmark::DoNotOptimize(embedder.finalize());
        embedder.reset();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kRate));
}
BENCHMARK(BM_VoiceprintOneSecondOf48kAudio)->Unit(benchmark::kMillisecond);

// The classifier as minutes use it, one utterance a second: both embedders on its worker, the
// hop to it and back, the matching. Process CPU time, the worker's included.
void BM_ClassifyOneSecondOf48kAudio(benchmark::State& state)
{
    SpeakerClassifier classifier;
    for (auto _ : state) {
        for (const AudioBufferPtr& buffer : oneSecond())
            classifier.accumulate(buffer);
        benchmark::DoNotOptimize(classifier.endUtterance());
        classifier.resetUtterance();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(kRate));
}
BENCHMARK(BM_ClassifyOneSecondOf48kAudio)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Speaker labels in meetings of recorded people whose voices fitted none of the labels'
// constants: the voiceprint's scales and whitening and the roster's rules are fitted on
// RecordedVoices::people() (an American English woman, a Canadian French woman, an Italian
// man), and these meetings draw only on RecordedVoices::heldOutPeople() (a Colombian Spanish
// woman, a French woman, a Russian woman, an English man reading a book, an Italian woman), so
// the figures tell how the labels do for people they have never heard. Each meeting gives
// every person 4 to 6 random utterances of theirs, in shuffled turns, each after a pause of
// 0.8 to 3 s; meetings go through every combination of the people, 120 per size, line and
// kind, drawn from a fixed seed. Over a telephone line all five take part; over a wideband
// one only the two recorded so. Two kinds of utterances ("short"): prompts of 2 to 6 s and the
// reader's sentences; or what people say in a meeting: prompts of 1 to 4 s, single words,
// lists of 2 to 4 words with 0.3 to 0.7 s pauses and the reader's phrases, a quarter of them
// followed, 0.9 s later, by one more word of the same person. Counters, as shares of all
// utterances: "own%" under their own person's label (each label belongs to the person it holds
// most of, each person to one label), "merged%" under another person's, "split%" under a label
// nobody owns. Each utterance is embedded once, as the classifier's worker does for a 48 kHz
// microphone; meetings then run the classifier's rule over those voices, with the pauses
// between their speech.
struct Voice {
    QList<float> bands;
    QList<float> print;
    int voicedFrames = 0;
    double lead = 0, trail = 0;  // seconds of silence before and after the speech
};

std::optional<Voice> embed(const std::vector<float>& recorded, int rate)
{
    static SpectralEmbedder bands;
    static VoiceprintEmbedder prints;
    const std::vector<float> samples = RecordedVoices::resampled(recorded, rate, int(kRate));
    bands.reset();
    prints.reset();
    for (std::size_t start = 0; start < samples.size(); start += kFrames) {
        const std::size_t end = std::min(samples.size(), start + std::size_t(kFrames));
        const auto buffer = std::make_shared<const AudioBuffer>(
            AudioFormat{kRate, 1},
            std::vector<float>(samples.begin() + std::ptrdiff_t(start), samples.begin() + std::ptrdiff_t(end)),
            std::int64_t(start), std::chrono::steady_clock::now());
        bands.accumulate(*buffer);
        prints.accumulate(buffer);
    }
    const std::optional<QList<float>> embedding = bands.finalize();
    const std::optional<VoiceprintEmbedder::Speech> speech = prints.speech();
    if (!embedding || !speech)
        return std::nullopt;
    return Voice{*embedding, prints.finalize().value_or(QList<float>()), speech->voicedFrames, speech->startSeconds,
                 double(samples.size()) / kRate - speech->endSeconds};
}

struct Person {
    std::vector<Voice> said;
    std::vector<Voice> lastWords;  // said after a pause, to end a sentence
};

// Words said one after another, with pauses of 0.3 to 0.7 s between them.
std::vector<std::vector<float>> lists(const std::vector<std::vector<float>>& words, int rate, std::mt19937& random)
{
    std::vector<std::vector<float>> made;
    for (int list = 0; list < 20 && words.size() >= 4; ++list) {
        std::vector<float> samples;
        for (std::uint32_t word = 0, count = 2 + random() % 3; word < count; ++word) {
            if (word)
                samples.resize(samples.size() + std::size_t(rate * (0.3 + 0.4 * (random() % 100) / 100.0)));
            const std::vector<float>& said = words[random() % words.size()];
            samples.insert(samples.end(), said.begin(), said.end());
        }
        made.push_back(std::move(samples));
    }
    return made;
}

const std::vector<Person>& heldOutPeople(RecordedVoices::Line line, bool shortUtterances)
{
    static std::map<std::pair<RecordedVoices::Line, bool>, std::vector<Person>> cache;
    auto& people = cache[{line, shortUtterances}];
    if (!people.empty())
        return people;
    const int rate = RecordedVoices::rate(line);
    std::mt19937 random(20261207);
    for (const QString& name : RecordedVoices::heldOutPeople()) {
        std::vector<std::vector<float>> said, lastWords;
        if (!shortUtterances) {
            said = RecordedVoices::utterances(name, line, -1);
        } else if (name == RecordedVoices::heldOutPeople()[3]) {  // the reader
            said = RecordedVoices::readerPhrases(line);
            std::erase_if(said, [rate](const std::vector<float>& phrase) { return phrase.size() > std::size_t(4 * rate); });
        } else {
            said = RecordedVoices::utterances(name, line, 60, 1, 4);
            const std::vector<std::vector<float>> words = RecordedVoices::words(name, line, 40);
            for (std::vector<float>& list : lists(words, rate, random))
                said.push_back(std::move(list));
            lastWords.assign(words.begin(), words.begin() + std::ptrdiff_t(std::min<std::size_t>(20, words.size())));
        }
        Person person;
        for (const auto& [from, to] : {std::pair{&said, &person.said}, std::pair{&lastWords, &person.lastWords}})
            for (const std::vector<float>& samples : *from)
                if (const std::optional<Voice> voice = embed(samples, rate))
                    to->push_back(*voice);
        if (!person.said.empty())
            people.push_back(std::move(person));
    }
    return people;
}

void BM_SpeakerLabelsOfHeldOutPeople(benchmark::State& state)
{
    const auto size = std::size_t(state.range(0));
    const auto line = state.range(1) ? RecordedVoices::Line::wideband : RecordedVoices::Line::telephone;
    const bool shortUtterances = state.range(2) != 0;
    const std::vector<Person>& people = heldOutPeople(line, shortUtterances);
    std::vector<std::vector<std::size_t>> groups;
    for (std::uint32_t mask = 0; mask < 1u << people.size(); ++mask) {
        std::vector<std::size_t> group;
        for (std::size_t person = 0; person < people.size(); ++person)
            if (mask & (1u << person))
                group.push_back(person);
        if (group.size() == size)
            groups.push_back(group);
    }
    if (groups.empty()) {
        state.SkipWithError("not enough recorded people on this line (scripts/install-deps)");
        return;
    }
    constexpr int kMeetings = 120;
    double own = 0, merged = 0, split = 0;
    for (auto _ : state) {
        std::mt19937 random(20240607);
        const auto uniform = [&random](double from, double to) {
            return from + (to - from) * double(random() % 1000) / 1000.0;
        };
        own = merged = split = 0;
        for (int meeting = 0; meeting < kMeetings; ++meeting) {
            const std::vector<std::size_t>& group = groups[std::size_t(meeting) % groups.size()];
            struct Turn {
                std::size_t person;
                const Voice* voice;
                double gap;  // silence between the files
            };
            std::vector<Turn> turns;
            for (const std::size_t person : group) {
                std::vector<const Voice*> heard;
                for (const Voice& voice : people[person].said)
                    heard.push_back(&voice);
                std::shuffle(heard.begin(), heard.end(), random);
                heard.resize(std::min(heard.size(), std::size_t(4 + random() % 3)));
                for (const Voice* voice : heard)
                    turns.push_back({person, voice, 0});
            }
            std::shuffle(turns.begin(), turns.end(), random);
            std::vector<Turn> spoken;
            for (Turn& turn : turns) {
                turn.gap = uniform(0.8, 3.0);
                spoken.push_back(turn);
                const std::vector<Voice>& lastWords = people[turn.person].lastWords;
                if (!lastWords.empty() && random() % 4 == 0)
                    spoken.push_back({turn.person, &lastWords[random() % lastWords.size()], 0.9});
            }
            SpeakerRoster roster;
            std::map<std::pair<std::size_t, int>, int> counts;  // (person, label) -> utterances
            std::vector<std::pair<std::size_t, int>> labelled;
            const Voice* before = nullptr;
            for (const Turn& turn : spoken) {
                SpeakerRoster::Heard heard{turn.voice->voicedFrames, std::nullopt};
                if (before)
                    heard.pauseSeconds = before->trail + turn.gap + turn.voice->lead;
                const int id = roster.assign(turn.voice->bands, turn.voice->print, heard).id;
                before = turn.voice;
                ++counts[{turn.person, id}];
                labelled.emplace_back(turn.person, id);
            }
            // Labels go to people by the most utterances first.
            std::vector<std::pair<int, std::pair<std::size_t, int>>> byCount;
            for (const auto& [key, count] : counts)
                byCount.push_back({count, key});
            std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
            std::map<std::size_t, int> labelOf;
            std::map<int, std::size_t> ownerOf;
            for (const auto& [count, key] : byCount)
                if (!labelOf.contains(key.first) && !ownerOf.contains(key.second)) {
                    labelOf[key.first] = key.second;
                    ownerOf[key.second] = key.first;
                }
            for (const auto& [person, id] : labelled) {
                if (labelOf[person] == id)
                    ++own;
                else if (ownerOf.contains(id))
                    ++merged;
                else
                    ++split;
            }
        }
    }
    const double total = own + merged + split;
    state.counters["own%"] = 100 * own / total;
    state.counters["merged%"] = 100 * merged / total;
    state.counters["split%"] = 100 * split / total;
    state.counters["utterances"] = total;
}
BENCHMARK(BM_SpeakerLabelsOfHeldOutPeople)
    ->ArgNames({"people", "wideband", "short"})
    ->ArgsProduct({{2, 3, 4}, {0}, {0, 1}})
    ->Args({2, 1, 0})
    ->Args({2, 1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// Always-on listening on a private PulseAudio server. Each iteration listens for one second
// of wall-clock time; the CPU column is the process's CPU time per second of audio, every
// thread counted (the sound server's client, capture, the GUI thread, the decoder), and
// "core%" is the same as a share of one core. Run them side by side and repeated, e.g.
// --benchmark_filter=Capture\|Listening --benchmark_min_time=9 --benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true
namespace {

const QString kSilentMicrophone = QStringLiteral("vmic_silent");
const QString kNoisyMicrophone = QStringLiteral("vmic_noisy");

// Two 48 kHz stereo microphones that, like real ones, run at the pace their capture clients
// ask for, since nothing plays into their sinks at a low latency: a silent one, and one
// with faint white noise (about -48 dBFS, well under the voice-activity threshold). Empty
// when they are ready, else why not.
QString prepareMicrophones()
{
    static const QString error = [] {
        PulseAudioServer& pulse = PulseAudioServer::shared();
        if (!pulse.isRunning())
            return QStringLiteral("needs a private PulseAudio server: ") + pulse.error();
        for (const QString& room : {QStringLiteral("silent"), QStringLiteral("noisy")}) {
            const QString sink = QStringLiteral("vroom_") + room;
            if (!pulse.runClient(QStringLiteral("pactl"),
                                 {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                  QStringLiteral("sink_name=") + sink, QStringLiteral("rate=48000"),
                                  QStringLiteral("channels=2")}) ||
                !pulse.runClient(QStringLiteral("pactl"),
                                 {QStringLiteral("load-module"), QStringLiteral("module-remap-source"),
                                  QStringLiteral("master=%1.monitor").arg(sink),
                                  QStringLiteral("source_name=vmic_") + room}))
                return QStringLiteral("the virtual microphones could not be made");
        }
        // pacat's volume is cubic: 12500 of 65536 scales full-scale noise by about 0.007.
        if (!pulse.startClient(QStringLiteral("pacat"),
                               {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                QStringLiteral("--rate=48000"), QStringLiteral("--channels=2"),
                                QStringLiteral("--volume=12500"), QStringLiteral("--latency-msec=1000"),
                                QStringLiteral("--device=vroom_noisy"), QStringLiteral("/dev/urandom")}))
            return QStringLiteral("pacat could not play noise");
        return QString();
    }();
    return error;
}

// Skips the benchmark, saying why, when the microphones cannot be made.
bool microphonesReady(benchmark::State& state)
{
    const QString error = prepareMicrophones();
    if (!error.isEmpty())
        state.SkipWithError(error.toStdString().c_str());
    return error.isEmpty();
}

const QString& microphone(const benchmark::State& state)
{
    return state.range(0) ? kNoisyMicrophone : kSilentMicrophone;
}

void runEventLoopFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// Waits for audio to flow and settle (an idle virtual microphone finishes the long period it
// was in before it takes up the one asked for; the recognizer's voice detector learns the
// noise floor in its first second), then listens one second per iteration. `count` reads the
// units that have arrived, reported per second of listening as `unit`.
void listen(benchmark::State& state, const char* unit, const std::function<double()>& count)
{
    if (!waitUntil([&] { return count() > 0; })) {
        state.SkipWithError("no audio arrived");
        return;
    }
    runEventLoopFor(std::chrono::seconds(2));
    const double countBefore = count();
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        runEventLoopFor(std::chrono::seconds(1));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    state.counters["core%"] = 100.0 * (processCpuSeconds() - cpuBefore) / wall;
    state.counters[unit] = (count() - countBefore) / wall;
}

// One second of listening per iteration in process CPU time, the smallest repetition too.
void perSecondListened(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->MeasureProcessCPUTime()->ComputeStatistics("min", minimum);
}

void onEachMicrophone(benchmark::internal::Benchmark* benchmark)
{
    perSecondListened(benchmark->ArgName("noisy")->Arg(0)->Arg(1));
}

// The floor: the capture backend handing its fragments to a handler that does nothing.
void BM_BareCapture(benchmark::State& state)
{
    if (!microphonesReady(state))
        return;
    PulseCaptureBackend backend;
    if (backend.selectDevice(microphone(state))) {
        state.SkipWithError("the virtual microphone is not listed");
        return;
    }
    std::atomic<std::int64_t> frames{0};
    if (const auto failure =
            backend.start(backend.deviceFormat(), [&](const float*, std::int64_t count) { frames += count; }, {})) {
        state.SkipWithError(failure->toStdString().c_str());
        return;
    }
    listen(state, "frames/s", [&] { return double(frames); });
    backend.stop();
}
BENCHMARK(BM_BareCapture)->Apply(onEachMicrophone);

// The same microphone through Qt Multimedia's QAudioSource at its default buffer size,
// reading on the GUI thread: what capturing through Qt costs at the least.
void BM_BareQtCapture(benchmark::State& state)
{
    if (!microphonesReady(state))
        return;
    QAudioDevice device;
    for (const QAudioDevice& input : QMediaDevices::audioInputs())
        if (QString::fromUtf8(input.id()) == microphone(state))
            device = input;
    QAudioFormat format = device.preferredFormat();
    format.setSampleFormat(QAudioFormat::Float);
    QAudioSource source(device, format);
    QIODevice* io = source.start();
    if (!io) {
        state.SkipWithError("QAudioSource could not start");
        return;
    }
    qint64 bytes = 0;
    QObject::connect(io, &QIODevice::readyRead, [&] { bytes += io->readAll().size(); });
    listen(state, "frames/s", [&] { return double(bytes / format.bytesPerFrame()); });
    source.stop();
}
BENCHMARK(BM_BareQtCapture)->Apply(onEachMicrophone);

// The whole listening path as the conversation engine runs it per buffer: the recognizer fed
// (second argument), the energy detector and the turn detector with its level.
void BM_ListeningPath(benchmark::State& state)
{
    if (!microphonesReady(state))
        return;
    const bool fed = state.range(1) != 0;
    QtScheduler scheduler;
    AudioInputStream stream(std::make_unique<PulseCaptureBackend>());
    std::optional<std::optional<AudioInputError>> started;
    stream.start(microphone(state), [&](std::optional<AudioInputError> error) { started = error; });
    if (!waitUntil([&] { return started.has_value(); }) || *started) {
        state.SkipWithError("capture could not start");
        return;
    }
    SystemStreamingRecognizer recognizer(scheduler, PocketsphinxDecoder::installedEngine());
    if (fed) {
        std::optional<std::optional<QString>> recognizing;
        recognizer.start(QStringLiteral("en-US"), *stream.inputFormat(),
                         [&](std::optional<QString> error) { recognizing = error; });
        if (!waitUntil([&] { return recognizing.has_value(); }) || *recognizing) {
            state.SkipWithError("the recognizer could not start");
            return;
        }
    }
    EnergyVAD vad(0.012, 3, 150);
    AdaptiveTurnDetector detector(scheduler);
    double levels = 0;
    std::int64_t buffers = 0;
    AudioSubscription subscription(stream.subscribe(), [&](const AudioBufferPtr& buffer) {
        if (fed)
            recognizer.feed(buffer);
        for (const VoiceActivity& event : vad.process(*buffer)) {
            if (event.kind() == VoiceActivity::Kind::level) {
                detector.updateMicLevel(event.levelValue());
                levels += event.levelValue();
            }
            detector.handle(event);
        }
        ++buffers;
    });
    listen(state, "buffers/s", [&] { return double(buffers); });
    stream.stop();
    state.counters["level"] = buffers ? levels / double(buffers) : 0.0;
}
BENCHMARK(BM_ListeningPath)->ArgNames({"noisy", "fed"})->ArgsProduct({{0, 1}, {0, 1}})->Apply(perSecondListened);

}  // namespace
