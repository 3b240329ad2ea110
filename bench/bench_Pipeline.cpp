// What the conversation engine itself costs: listening to a silent microphone, per second of
// audio, through the listening loop (level meter, energy detector, turn and barge-in
// detectors), the recognizer's own decoding aside (bench_STT measures that); and the time from
// the end of a turn to the first PCM of the spoken reply when the backend answers at once, of
// which bench_Speech's time to first audio of the same sentence is espeak-ng's share; and
// voice to voice through the real capture, recognizer and speaker on a private PulseAudio
// server.
#include "Backend/AssistantClient.h"
#include "Common/PulseAudioServer.h"
#include "Common/RecordedVoices.h"
#include "Common/SpeechWav.h"
#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/ConversationEngine.h"
#include "Pipeline/ListeningLoop.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/PlatformParts.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "Platform/PocketsphinxDecoder.h"
#include "Platform/PulseCaptureBackend.h"
#include "Platform/PulseAudioOutput.h"
#include "Platform/PulseDeviceSource.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"
#include "VAD/EnergyVAD.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <array>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

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

// A backend that has its whole answer ready.
struct InstantClient final : AssistantClient {
    explicit InstantClient(QString text) : text(std::move(text)) {}
    std::unique_ptr<ReplyStream> stream(const QString&, const QString&, const QString&,
                                        const QList<ConversationTurn>&) const override
    {
        auto reply = std::make_unique<ReplyStream>();
        reply->push(text);
        reply->finish();
        return reply;
    }
    QString text;
};

// Stands in for the sound device: notes when PCM arrives and plays nothing.
struct FirstAudioOutput final : AudioOutput {
    bool received = false;
    void play(AudioBufferPtr audio) override { received = audio && audio->frameCount() > 0; }
    void append(AudioBufferPtr) override {}
    void endStream() override {}
    void stop() override {}
};

struct NoDevices final : AudioDeviceSource {
    QList<Device> inputs() const override { return {}; }
    std::optional<Device> defaultInput() const override { return std::nullopt; }
    std::optional<QString> defaultOutputName() const override { return std::nullopt; }
};

struct Quiet final : EventSoundPlayer, DesktopWorkspace, SleepInhibitor {
    void play(const QString&) override {}
    bool openUrl(const QUrl&) override { return false; }
    void revealFile(const QString&) override {}
    void acquire(const QString&, Completion done) override { done(std::nullopt); }
    void release() override {}
};

void BM_EndOfTurnToFirstReplyAudio(benchmark::State& state)
{
    QTemporaryDir directory;
    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    settings.setTelemetryEnabled(false);
    settings.setAvatarGender(AvatarGender::male);  // espeak-ng's own voice, as bench_Speech uses
    QtScheduler scheduler;
    PlatformParts platform;
    platform.audioDevices = std::make_unique<NoDevices>();
    platform.eventSounds = std::make_unique<Quiet>();
    platform.desktop = std::make_unique<Quiet>();
    platform.sleepInhibitor = std::make_unique<Quiet>();
    platform.calendar = std::make_unique<IcalCalendarStore>();
    AppServices services(scheduler, platform.speechEngine, *platform.audioDevices);
    auto output = std::make_unique<FirstAudioOutput>();
    FirstAudioOutput* sink = output.get();
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::move(output)), scheduler);
    const DeviceIdentifier device(defaults);
    ConversationEngine engine({settings, scheduler, player, platform, services, device, {}, [] {
                                   return std::make_unique<InstantClient>(
                                       QStringLiteral("안녕하세요, 오늘 회의는 세 시에 시작합니다."));
                               }});
    for (auto _ : state) {
        sink->received = false;
        const auto start = std::chrono::steady_clock::now();
        engine.submitTextTurn(QStringLiteral("오늘 회의 언제야?"));
        while (!sink->received)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        engine.stopSpeaking();
        engine.clearHistory();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EndOfTurnToFirstReplyAudio)->UseManualTime()->Unit(benchmark::kMillisecond);

// Voice to voice on a private PulseAudio server: recordings ("go forward ten meters", then in
// turn five recorded people's, whose final texts come late and revise the last words) are
// spoken into the pipe microphone at the pace of speech, the engine hears them through the real
// capture, voice and turn detectors and pocketsphinx, an instant backend answers, and espeak-ng
// speaks into the null sink, whose monitor is recorded. An iteration's time runs from the end
// of the spoken samples to the first sound at the speaker; "min_ms" and "median_ms" are that
// less the silence the turn detector chose to wait ("predicted silence <n>ms") and the time it
// then waited for the recognizer's final text ("final_wait_ms", median and max), what the road
// adds to the wait, "<recording>_ms" the median of each recording, and "fire_to_sound_ms" the
// part after the turn ended. A turn ended another way (the transcript's dwell) is counted in
// "other_endings" and said again. For a dozen turns of each recording:
// --benchmark_filter=VoiceToVoice --benchmark_min_time=70
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr float kSound = 0.01f;  // -40 dBFS: speech rather than silence or dither

// A microphone of the usual rate: a pipe source at 48 kHz, loaded once into the shared
// server. Its FIFO's path, empty when it cannot be made.
constexpr int kMicrophoneRate = 48000;
const QString kMicrophoneName = QStringLiteral("vmic48");

QString microphoneFifo(PulseAudioServer& pulse)
{
    static QTemporaryDir directory;
    static const QString fifo = [&] {
        const QString path = directory.filePath(QStringLiteral("mic48.fifo"));
        const bool loaded =
            pulse
                .runClient(QStringLiteral("pactl"),
                           {QStringLiteral("load-module"), QStringLiteral("module-pipe-source"),
                            QStringLiteral("source_name=") + kMicrophoneName, QStringLiteral("file=") + path,
                            QStringLiteral("format=s16le"), QStringLiteral("rate=%1").arg(kMicrophoneRate),
                            QStringLiteral("channels=1")})
                .has_value();
        return loaded ? path : QString();
    }();
    return fifo;
}

// Stands in for the user: 10 ms of audio into the pipe microphone at the pace of speech,
// silence unless a phrase waits, each piece written once it has been "spoken".
class PacedMicrophone {
public:
    explicit PacedMicrophone(const QString& fifo) : m_fifo(fifo.toLocal8Bit()), m_thread([this] { run(); }) {}
    ~PacedMicrophone()
    {
        {
            std::lock_guard lock(m_mutex);
            m_running = false;
        }
        m_thread.join();
    }

    void say(std::vector<qint16> phrase)
    {
        std::lock_guard lock(m_mutex);
        m_phrase = std::move(phrase);
        m_at = 0;
        m_lastSound = 0;
        for (std::size_t i = 0; i < m_phrase.size(); ++i)
            if (std::abs(m_phrase[i]) > kSound * 32768)
                m_lastSound = i;
        m_speechEndedAt.reset();
    }
    // When the phrase's last sound was spoken, once it has been.
    std::optional<Clock::time_point> speechEndedAt() const
    {
        std::lock_guard lock(m_mutex);
        return m_speechEndedAt;
    }

private:
    static constexpr std::size_t kPiece = kMicrophoneRate / 100;

    void run()
    {
        // The source holds the FIFO open for reading, so this open never blocks.
        const int fd = open(m_fifo.constData(), O_WRONLY | O_CLOEXEC);
        auto due = Clock::now();
        for (;;) {
            due += 10ms;
            std::this_thread::sleep_until(due);
            std::lock_guard lock(m_mutex);
            if (!m_running)
                break;
            std::array<qint16, kPiece> piece{};
            const std::size_t from = m_at;
            const std::size_t count = std::min(kPiece, m_phrase.size() - from);
            std::copy_n(m_phrase.begin() + std::ptrdiff_t(from), count, piece.begin());
            m_at += count;
            if (write(fd, piece.data(), sizeof piece) != ssize_t(sizeof piece))
                continue;
            if (count > 0 && !m_speechEndedAt && m_lastSound < from + kPiece) {
                const auto after =
                    std::chrono::duration<double>(double(from + kPiece - m_lastSound - 1) / kMicrophoneRate);
                m_speechEndedAt = Clock::now() - std::chrono::duration_cast<Clock::duration>(after);
            }
        }
        close(fd);
    }

    const QByteArray m_fifo;
    mutable std::mutex m_mutex;
    std::vector<qint16> m_phrase;
    std::size_t m_at = 0;
    std::size_t m_lastSound = 0;
    std::optional<Clock::time_point> m_speechEndedAt;
    bool m_running = true;
    std::thread m_thread;  // last: it reads the members above
};

// The speaker: the null sink's monitor as it plays. A frame's time comes from the sink's
// clock, placed by the smallest delay seen between frames being played and arriving here.
class SpeakerMonitor {
public:
    std::optional<QString> start()
    {
        if (auto refusal = m_backend.selectDevice(QString::fromLatin1(PulseAudioServer::kSinkName) + ".monitor"))
            return refusal->description();
        const AudioFormat format = m_backend.deviceFormat();
        m_rate = format.sampleRate;
        m_channels = format.channels;
        return m_backend.start(format, [this](const float* samples, std::int64_t frames) { take(samples, frames); },
                               {});
    }
    ~SpeakerMonitor() { m_backend.stop(); }

    // Looks for the first sound from now on.
    void listen()
    {
        std::lock_guard lock(m_mutex);
        m_listening = true;
        m_firstSound.reset();
    }
    std::optional<Clock::time_point> firstSoundAt() const
    {
        std::lock_guard lock(m_mutex);
        if (!m_firstSound)
            return std::nullopt;
        return *m_origin + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(double(*m_firstSound) / m_rate));
    }

private:
    void take(const float* samples, std::int64_t frames)
    {
        const auto now = Clock::now();
        std::lock_guard lock(m_mutex);
        for (std::int64_t i = 0; m_listening && !m_firstSound && i < frames * m_channels; ++i)
            if (std::abs(samples[i]) > kSound)
                m_firstSound = m_frames + i / m_channels;
        m_frames += frames;
        const auto origin =
            now - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(m_frames) / m_rate));
        m_origin = m_origin ? std::min(*m_origin, origin) : origin;
    }

    PulseCaptureBackend m_backend;
    double m_rate = 0;
    int m_channels = 1;
    mutable std::mutex m_mutex;
    std::int64_t m_frames = 0;
    std::optional<Clock::time_point> m_origin;  // when frame 0 played
    bool m_listening = false;
    std::optional<std::int64_t> m_firstSound;
};

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit = 20s)
{
    const auto deadline = Clock::now() + limit;
    while (!done() && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

void runEventLoopFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<qint16> goForward(const QTemporaryDir& directory)
{
    const QString path = directory.filePath(QStringLiteral("goforward.raw"));
    QFile file(path);
    if (!SpeechWav::goForward(path, kMicrophoneRate, 1) || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples(std::size_t(bytes.size()) / sizeof(qint16));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(qint16));
    return samples;
}

// A recorded person's utterance as the microphone gives it: at its rate, followed by 1 s of
// silence as "go forward" is.
std::vector<qint16> atMicrophoneRate(std::vector<float> utterance)
{
    constexpr int kRate = RecordedVoices::kWidebandRate;
    utterance.resize(utterance.size() + kRate);
    const std::vector<float> heard = RecordedVoices::resampled(utterance, kRate, kMicrophoneRate);
    std::vector<qint16> samples;
    samples.reserve(heard.size());
    for (const float sample : heard)
        samples.push_back(qint16(std::clamp(sample, -1.0f, 1.0f) * 32767));
    return samples;
}

struct Phrase {
    std::string name;
    std::vector<qint16> samples;
};

// What the user says, turn after turn: "go forward ten meters", then the five recorded people's
// turns. None when a recording cannot be prepared.
std::vector<Phrase> phrases(const QTemporaryDir& directory)
{
    std::vector<std::vector<float>> turns = RecordedVoices::turnsOfThreePeople();
    if (turns.size() != 5)
        return {};
    std::vector<Phrase> found{{"go_forward", goForward(directory)}};
    for (std::vector<float>& turn : turns)
        found.push_back({"person" + std::to_string(found.size()), atMicrophoneRate(std::move(turn))});
    const bool prepared =
        std::none_of(found.begin(), found.end(), [](const Phrase& phrase) { return phrase.samples.empty(); });
    return prepared ? found : std::vector<Phrase>{};
}

void BM_VoiceToVoice(benchmark::State& state)
{
    PulseAudioServer& pulse = PulseAudioServer::shared();
    if (!pulse.isRunning()) {
        state.SkipWithError(("needs a private PulseAudio server: " + pulse.error()).toStdString().c_str());
        return;
    }
    QTemporaryDir directory;
    const std::vector<Phrase> said = phrases(directory);
    if (said.empty()) {
        state.SkipWithError(
            "the recordings could not be prepared (sox, ffmpeg, pocketsphinx-testdata, asterisk sounds)");
        return;
    }
    SpeakerMonitor speaker;
    if (const auto refusal = speaker.start()) {
        state.SkipWithError(refusal->toStdString().c_str());
        return;
    }
    const QString fifo = microphoneFifo(pulse);
    if (fifo.isEmpty()) {
        state.SkipWithError("the virtual microphone could not be made");
        return;
    }
    PacedMicrophone microphone(fifo);

    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    settings.setTelemetryEnabled(false);
    settings.setLocaleID(QStringLiteral("en-US"));
    settings.setAvatarGender(AvatarGender::male);
    settings.setMicrophoneDeviceUID(kMicrophoneName);
    QtScheduler scheduler;
    PlatformParts platform;
    platform.makeCaptureBackend = [] { return std::make_unique<PulseCaptureBackend>(); };
    platform.audioDevices = std::make_unique<PulseDeviceSource>();
    platform.speechEngine = PocketsphinxDecoder::installedEngine();
    platform.eventSounds = std::make_unique<Quiet>();
    platform.desktop = std::make_unique<Quiet>();
    platform.sleepInhibitor = std::make_unique<Quiet>();
    platform.calendar = std::make_unique<IcalCalendarStore>();
    AppServices services(scheduler, platform.speechEngine, *platform.audioDevices);
    auto output = std::make_unique<PulseAudioOutput>(QString::fromLatin1(PulseAudioServer::kSinkName));
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::move(output)), scheduler);
    const DeviceIdentifier device(defaults);
    std::optional<Clock::time_point> askedAt;
    ConversationEngine engine({settings, scheduler, player, platform, services, device, {}, [&] {
                                   askedAt = Clock::now();
                                   return std::make_unique<InstantClient>(
                                       QStringLiteral("Ten meters forward it is. Mind the step."));
                               }});
    std::optional<Clock::time_point> firedAt;
    QObject::connect(&engine.state(), &EngineState::lastFireAtChanged, [&] { firedAt = Clock::now(); });
    const auto listening = [&] { return engine.state().phase() == ConversationPhase::listening; };
    engine.setEnabled(true);
    if (!waitUntil(listening)) {
        state.SkipWithError("the session did not start");
        return;
    }
    runEventLoopFor(2s);  // the recognizer's models load

    static const QRegularExpression kSilenceWait(QStringLiteral("predicted silence (\\d+)ms"));
    // How long the turn waited past its silence for the recognizer's final text.
    static const QRegularExpression kFinalWait(QStringLiteral("final text came (\\d+)ms into the wait"));
    double finalWaitMs = 0;
    QObject::connect(&engine.log(), &PipelineLog::entryAppended, [&](const PipelineLog::Entry& entry) {
        if (const QRegularExpressionMatch held = kFinalWait.match(entry.message); held.hasMatch())
            finalWaitMs = held.captured(1).toDouble();
    });
    std::vector<double> excess, waits, finalWaits, fireToRequest, fireToSound;
    std::vector<std::vector<double>> excessOf(said.size());
    int otherEndings = 0;
    std::size_t turns = 0;
    for (auto _ : state) {
        const std::size_t which = turns++ % said.size();
        const Phrase& phrase = said[which];
        QRegularExpressionMatch wait;
        for (int attempt = 0; attempt < 3 && !wait.hasMatch(); ++attempt) {
            otherEndings += attempt > 0;
            runEventLoopFor(1500ms);  // between turns
            speaker.listen();
            firedAt.reset();
            askedAt.reset();
            finalWaitMs = 0;
            microphone.say(phrase.samples);
            if (!waitUntil([&] { return speaker.firstSoundAt() && microphone.speechEndedAt() && !listening(); }) ||
                !waitUntil(listening)) {
                state.SkipWithError("no spoken reply came back");
                return;
            }
            wait = kSilenceWait.match(engine.state().lastFireReason());
        }
        if (!wait.hasMatch()) {
            state.SkipWithError("the turns never ended on the predicted silence");
            return;
        }
        const double ms = milliseconds(*speaker.firstSoundAt() - *microphone.speechEndedAt()) -
                          wait.captured(1).toDouble() - finalWaitMs;
        excess.push_back(ms);
        excessOf[which].push_back(ms);
        waits.push_back(wait.captured(1).toDouble());
        finalWaits.push_back(finalWaitMs);
        if (firedAt && askedAt) {
            fireToRequest.push_back(milliseconds(*askedAt - *firedAt));
            fireToSound.push_back(milliseconds(*speaker.firstSoundAt() - *firedAt));
        }
        state.SetIterationTime(milliseconds(*speaker.firstSoundAt() - *microphone.speechEndedAt()) / 1000);
    }
    state.counters["min_ms"] = excess.empty() ? 0 : *std::min_element(excess.begin(), excess.end());
    state.counters["median_ms"] = median(excess);
    state.counters["wait_ms"] = median(waits);
    state.counters["final_wait_ms"] = median(finalWaits);
    state.counters["final_wait_max_ms"] =
        finalWaits.empty() ? 0 : *std::max_element(finalWaits.begin(), finalWaits.end());
    state.counters["fire_to_request_ms"] = median(fireToRequest);
    state.counters["fire_to_sound_ms"] = median(fireToSound);
    state.counters["other_endings"] = otherEndings;
    for (std::size_t i = 0; i < said.size(); ++i)
        if (!excessOf[i].empty())
            state.counters[said[i].name + "_ms"] = median(excessOf[i]);
    engine.setEnabled(false);
    waitUntil([&] { return engine.state().phase() == ConversationPhase::idle; });
}
BENCHMARK(BM_VoiceToVoice)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
