// Reply text on its way to speech: a 300-character reply streamed in small deltas through
// the sentence chunker, each sentence stripped of Markdown as the speech queue does; the
// chunker alone on replies of 300 B to 30 kB; and a long run without spaces or sentence
// marks, whose cost must grow only linearly.
#include "Speech/MarkdownStripper.h"
#include "TTS/SentenceChunker.h"

#include <benchmark/benchmark.h>

namespace {

// About 300 characters of a typical reply: Markdown, a link, Korean, a list.
const QString kReply =
    QStringLiteral("**Sure.** Here is the plan for today: first, check the `build` logs at 9.30 am. "
                   "Then review [the guide](https://example.com/guide) with the team, e.g. the new *release* notes. "
                   "오늘 회의는 세 시에 시작합니다. 자료를 미리 준비해 주세요!\n"
                   "- bring the laptop and the charger\n- book the small room\n"
                   "Let me know if anything changes.");

QStringList deltasOf(const QString& text, int size)
{
    QStringList deltas;
    for (qsizetype at = 0; at < text.size(); at += size)
        deltas << text.mid(at, size);
    return deltas;
}

void BM_ChunkAndStripReply(benchmark::State& state)
{
    const QStringList deltas = deltasOf(kReply, 8);
    for (auto _ : state) {
        SentenceChunker chunker;
        for (const QString& delta : deltas) {
            for (const QString& sentence : chunker.feed(delta))
                benchmark::DoNotOptimize(MarkdownStripper::strip(sentence));
        }
        if (const auto rest = chunker.flushRemaining())
            benchmark::DoNotOptimize(MarkdownStripper::strip(*rest));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(QStringLiteral("%1 chars").arg(kReply.size()).toStdString());
}
BENCHMARK(BM_ChunkAndStripReply);

void chunkAll(const QStringList& deltas)
{
    SentenceChunker chunker;
    for (const QString& delta : deltas)
        benchmark::DoNotOptimize(chunker.feed(delta));
    benchmark::DoNotOptimize(chunker.flushRemaining());
}

// The reply repeated: about 300 B, 3 kB and 30 kB of text streamed in 8-character deltas.
void BM_ChunkReplyOnly(benchmark::State& state)
{
    const QString reply = kReply.repeated(state.range(0));
    const QStringList deltas = deltasOf(reply, 8);
    for (auto _ : state)
        chunkAll(deltas);
    state.SetBytesProcessed(state.iterations() * reply.toUtf8().size());
    state.SetLabel(QStringLiteral("%1 B").arg(reply.toUtf8().size()).toStdString());
}
BENCHMARK(BM_ChunkReplyOnly)->Arg(1)->Arg(10)->Arg(100);

// Base64, an address or a code block: no space and no sentence mark anywhere, streamed in
// 10-character pieces.
void BM_ChunkUnbrokenRun(benchmark::State& state)
{
    const QString run = QStringLiteral("QmFzZTY0K2RhdGE9").repeated(state.range(0) / 16);
    const QStringList deltas = deltasOf(run, 10);
    for (auto _ : state)
        chunkAll(deltas);
    state.SetComplexityN(run.size());
    state.SetItemsProcessed(state.iterations() * run.size());
}
BENCHMARK(BM_ChunkUnbrokenRun)->Arg(3'000)->Arg(30'000)->Complexity(benchmark::oN);

void BM_StripSentence(benchmark::State& state)
{
    const QString sentence = QStringLiteral(
        "Then review [the guide](https://example.com/guide) with the team, e.g. the new *release* notes.");
    for (auto _ : state)
        benchmark::DoNotOptimize(MarkdownStripper::strip(sentence));
}
BENCHMARK(BM_StripSentence);

}  // namespace
