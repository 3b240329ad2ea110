// Time to first audio of the speech path: text handed to the speech player until its PCM is
// ready for the audio output, next to bare espeak-ng synthesis of the same text with the
// same voice (selecting the voice and synthesizing, nothing else).
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Speech/AudioOutput.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>
#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

const char* const kKorean = "안녕하세요, 오늘 회의는 세 시에 시작합니다.";
const char* const kEnglish = "Hello there, the meeting starts at three o'clock.";

// Stands in for the sound device: notes when PCM arrives and plays nothing.
struct FirstAudioOutput final : AudioOutput {
    bool received = false;
    void play(AudioBufferPtr audio) override { received = audio && audio->frameCount() > 0; }
    void stop() override {}
};

void timeToFirstAudio(benchmark::State& state, const char* text, const char* locale)
{
    QtScheduler scheduler;
    auto output = std::make_unique<FirstAudioOutput>();
    FirstAudioOutput* sink = output.get();
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::move(output)), scheduler);
    player.setPreferredGender(AvatarGender::male);  // espeak-ng's own voice, as the bare run uses
    const QString utterance = QString::fromUtf8(text);
    const QString localeID = QString::fromUtf8(locale);
    for (auto _ : state) {
        sink->received = false;
        const auto start = std::chrono::steady_clock::now();
        player.speak(utterance, localeID, [](const auto&) {});
        while (!sink->received)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        player.stop();
        QCoreApplication::processEvents();
    }
}

std::vector<short> s_samples;

int collect(short* samples, int count, espeak_EVENT*)
{
    if (samples && count > 0)
        s_samples.insert(s_samples.end(), samples, samples + count);
    return 0;
}

void bareEspeak(benchmark::State& state, const char* text, const char* voice)
{
    // espeak-ng starts once per process, so the bare calls run on its thread, timed there.
    EspeakEngine& engine = EspeakEngine::shared();
    const std::size_t size = std::strlen(text) + 1;
    for (auto _ : state) {
        double seconds = 0;
        engine.runExclusive([&] {
            espeak_SetSynthCallback(collect);
            s_samples.clear();
            const auto start = std::chrono::steady_clock::now();
            espeak_SetVoiceByName(voice);
            espeak_Synth(text, size, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(s_samples.data());
    }
}

}  // namespace

BENCHMARK_CAPTURE(bareEspeak, Korean, kKorean, "ko")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(timeToFirstAudio, Korean, kKorean, "ko-KR")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareEspeak, English, kEnglish, "gmw/en-US")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(timeToFirstAudio, English, kEnglish, "en-US")->UseManualTime()->Unit(benchmark::kMillisecond);
