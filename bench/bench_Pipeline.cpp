// What the conversation engine itself costs: listening to a silent microphone, per second of
// audio, through the listening loop (level meter, energy detector, turn and barge-in
// detectors), the recognizer's own decoding aside (bench_STT measures that); and the time from
// the end of a turn to the first PCM of the spoken reply when the backend answers at once, of
// which bench_Speech's time to first audio of the same sentence is espeak-ng's share.
#include "Backend/AssistantClient.h"
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
#include "Platform/IcalCalendarStore.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"
#include "VAD/EnergyVAD.h"

#include <QCoreApplication>
#include <QEventLoop>
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

const char* const kReply = "안녕하세요, 오늘 회의는 세 시에 시작합니다.";

// A backend that has its whole answer ready.
struct InstantClient final : AssistantClient {
    std::unique_ptr<ReplyStream> stream(const QString&, const QString&, const QString&,
                                        const QList<ConversationTurn>&) const override
    {
        auto reply = std::make_unique<ReplyStream>();
        reply->push(QString::fromUtf8(kReply));
        reply->finish();
        return reply;
    }
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
    void acquire(const QString&, Completion) override {}
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
                                   return std::make_unique<InstantClient>();
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

}  // namespace
