// Shared helpers on hot paths: grapheme counting (telemetry, every log entry) and the
// bounded channel between the capture thread and the GUI thread.
#include "Support/LatestChannel.h"
#include "Support/Text.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_GraphemeCountMixedText(benchmark::State& state)
{
    const QString text = QStringLiteral("오늘 회의는 3시에 시작해요 👩‍💻 and then we go on. ")
                             .repeated(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Text::graphemeCount(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_GraphemeCountMixedText)->Arg(1)->Arg(64);

static void BM_LatestChannelPushPop(benchmark::State& state)
{
    LatestChannel<std::vector<float>> channel(64);
    const std::vector<float> buffer(4096, 0.25f);
    for (auto _ : state) {
        channel.push(buffer);
        benchmark::DoNotOptimize(channel.tryPop());
    }
}
BENCHMARK(BM_LatestChannelPushPop);
