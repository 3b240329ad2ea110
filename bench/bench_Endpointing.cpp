// End-of-turn detection: the silence prediction run at every speech end, and one whole turn
// (gaze readings, onset, levels, a growing transcript, speech end, silence fire, delivery)
// on the production scheduler with the wait shortened to the next event-loop turn.
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_PredictedSilence(benchmark::State& state)
{
    QtScheduler scheduler;
    AdaptiveTurnDetector detector(scheduler);
    detector.handle(VoiceActivity::speechStarted());
    for (int i = 0; i < 10; ++i) {
        detector.handle(VoiceActivity::speechEnded(400));
        detector.handle(VoiceActivity::speechStarted());
    }
    detector.handle(QStringLiteral("오늘 오후에 회의가 있는데 자료를 미리 정리해 두려고 하는데"));
    for (auto _ : state)
        benchmark::DoNotOptimize(detector.predictedSilenceMs());
    detector.reset();
}
BENCHMARK(BM_PredictedSilence);

void BM_WholeTurn(benchmark::State& state)
{
    QtScheduler scheduler;
    AdaptiveTurnDetector detector(scheduler);
    auto tuning = detector.tuning();
    tuning.minSilenceMs = 0;
    tuning.maxSilenceMs = 0;
    detector.setTuning(tuning);
    int delivered = 0;
    detector.onTurnEnded = [&](const QString&, const QString&) { ++delivered; };
    const QStringList partials = {QStringLiteral("turn"), QStringLiteral("turn on"), QStringLiteral("turn on the"),
                                  QStringLiteral("turn on the kitchen"), QStringLiteral("turn on the kitchen lights")};

    for (auto _ : state) {
        const int before = delivered;
        detector.handle(VoiceActivity::speechStarted());
        for (int i = 0; i < 12; ++i) {
            detector.updateMicLevel(i < 10 ? 0.4 : 0.01);
            detector.updateGaze({GazeStatus::lookingAtScreen, 0.8});
            if (i < partials.size())
                detector.handle(partials[i]);
        }
        detector.handle(VoiceActivity::speechEnded(900));
        while (delivered == before)
            QCoreApplication::processEvents();
        // The event loop of the application frees finished timers; do as it does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.SetItemsProcessed(delivered);
}
BENCHMARK(BM_WholeTurn);

}  // namespace
