// Time to first PCM of the speech path: text handed to the speech player until its first
// audio reaches the audio output, next to bare espeak-ng handing over its first chunk of the
// same text with the same voice (selecting the voice and synthesizing up to that chunk).
// Both are measured in process CPU time, the reported time, which load on the machine does
// not inflate; the wall-clock time is the "wall_ms" counter.
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Speech/AudioOutput.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "Measures.h"

#include <benchmark/benchmark.h>
#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <cstring>

namespace {

const char* const kKoreanShort = "안녕하세요, 반갑습니다.";
const char* const kKoreanLong =  // 140 characters, the longest sentence the chunker lets through
    "오늘 오후 세 시에 시작하는 회의에서는 다음 분기의 예산과 일정, 그리고 새로 합류하는 팀원들의 역할을 함께 정리할 "
    "예정이니, 참석하시는 분들은 지난주에 공유된 자료를 미리 꼼꼼히 읽어 보시고 궁금한 점을 따로 메모해 오시면 정말 "
    "좋겠습니다, 여러분.";
const char* const kEnglishShort = "Hello there, how are you?";
const char* const kEnglishLong =
    "The weather today will be mostly sunny with a light breeze from the west, and temperatures should reach about "
    "twenty degrees this afternoon.";

struct Clocks {
    double cpu = 0;  // process CPU seconds
    std::chrono::steady_clock::time_point wall;

    static Clocks now() { return {processCpuSeconds(), std::chrono::steady_clock::now()}; }
};

// Times one iteration from `start` to `end`, CPU as the reported time, wall as a counter.
void record(benchmark::State& state, const Clocks& start, const Clocks& end, double& wallSeconds)
{
    state.SetIterationTime(end.cpu - start.cpu);
    wallSeconds += std::chrono::duration<double>(end.wall - start.wall).count();
}

void reportWall(benchmark::State& state, double wallSeconds)
{
    state.counters["wall_ms"] = benchmark::Counter(wallSeconds * 1000.0, benchmark::Counter::kAvgIterations);
}

// Stands in for the sound device: notes when the first PCM arrives and plays nothing.
struct FirstAudioOutput final : AudioOutput {
    std::optional<Clocks> firstAudio;
    void play(AudioBufferPtr audio) override
    {
        if (audio && audio->frameCount() > 0)
            firstAudio = Clocks::now();
    }
    void append(AudioBufferPtr) override {}
    void endStream() override {}
    void stop() override {}
};

void timeToFirstPcm(benchmark::State& state, const char* text, const char* locale)
{
    QtScheduler scheduler;
    auto output = std::make_unique<FirstAudioOutput>();
    FirstAudioOutput* sink = output.get();
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::move(output)), scheduler);
    player.setPreferredGender(AvatarGender::male);  // espeak-ng's own voice, as the bare run uses
    const QString utterance = QString::fromUtf8(text);
    const QString localeID = QString::fromUtf8(locale);
    double wallSeconds = 0;
    for (auto _ : state) {
        sink->firstAudio.reset();
        const Clocks start = Clocks::now();
        player.speak(utterance, localeID, [](const auto&) {});
        while (!sink->firstAudio)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        record(state, start, *sink->firstAudio, wallSeconds);
        player.stop();
        EspeakEngine::shared().waitForRenders();
        QCoreApplication::processEvents();
        // Releases the cancelled time-out timers, as the event loop would.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    reportWall(state, wallSeconds);
}

std::optional<Clocks> s_firstChunk;

int stopAtFirstChunk(short* samples, int count, espeak_EVENT*)
{
    if (!samples || count <= 0)
        return 0;
    s_firstChunk = Clocks::now();
    return 1;  // the rest is not timed
}

void bareFirstChunk(benchmark::State& state, const char* text, const char* voice)
{
    // espeak-ng starts once per process, so the bare calls run on its thread, timed there.
    EspeakEngine& engine = EspeakEngine::shared();
    const std::size_t size = std::strlen(text) + 1;
    double wallSeconds = 0;
    for (auto _ : state) {
        engine.runExclusive([&] {
            espeak_SetSynthCallback(stopAtFirstChunk);
            s_firstChunk.reset();
            const Clocks start = Clocks::now();
            espeak_SetVoiceByName(voice);
            espeak_Synth(text, size, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
            if (s_firstChunk)
                record(state, start, *s_firstChunk, wallSeconds);
        });
    }
    reportWall(state, wallSeconds);
}

// Times in microseconds of CPU, with the smallest repetition beside the mean and median.
void cpuMicroseconds(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", minimum);
}

}  // namespace

BENCHMARK_CAPTURE(bareFirstChunk, KoreanShort, kKoreanShort, "ko")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(timeToFirstPcm, KoreanShort, kKoreanShort, "ko-KR")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(bareFirstChunk, KoreanLong, kKoreanLong, "ko")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(timeToFirstPcm, KoreanLong, kKoreanLong, "ko-KR")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(bareFirstChunk, EnglishShort, kEnglishShort, "gmw/en-US")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(timeToFirstPcm, EnglishShort, kEnglishShort, "en-US")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(bareFirstChunk, EnglishLong, kEnglishLong, "gmw/en-US")->Apply(cpuMicroseconds);
BENCHMARK_CAPTURE(timeToFirstPcm, EnglishLong, kEnglishLong, "en-US")->Apply(cpuMicroseconds);
