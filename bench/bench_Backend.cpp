// The path every reply piece of a command-line agent takes before it can be spoken: bytes
// from the pipe, decoded across chunk borders, then cut into pieces by output format.
#include "Backend/IncrementalUTF8Decoder.h"
#include "Backend/OutputBuffer.h"

#include <benchmark/benchmark.h>

namespace {

QList<QByteArray> chunksOf(const QByteArray& output, qsizetype size)
{
    QList<QByteArray> chunks;
    for (qsizetype at = 0; at < output.size(); at += size)
        chunks << output.mid(at, size);
    return chunks;
}

void decodeAndParse(benchmark::State& state, CLIAssistantClient::OutputMode mode, const QByteArray& output)
{
    // Odd chunk sizes split multi-byte characters and lines, as a pipe does.
    const QList<QByteArray> chunks = chunksOf(output, state.range(0));
    for (auto _ : state) {
        IncrementalUTF8Decoder decoder;
        OutputBuffer buffer(mode);
        qsizetype pieces = 0;
        for (const QByteArray& chunk : chunks)
            pieces += buffer.feed(decoder.feed(chunk)).size();
        pieces += buffer.feed(decoder.flush()).size() + buffer.flush().size();
        benchmark::DoNotOptimize(pieces);
    }
    state.SetBytesProcessed(state.iterations() * output.size());
}

}  // namespace

static void BM_ClaudeStreamJsonReply(benchmark::State& state)
{
    QByteArray output;
    for (int i = 0; i < 200; ++i)
        output +=
            R"({"type":"stream_event","event":{"type":"content_block_delta","delta":{"type":"text_delta","text":"오늘은 맑아요. "}}})"
            "\n";
    decodeAndParse(state, CLIAssistantClient::OutputMode::claudeStreamJSON, output);
}
BENCHMARK(BM_ClaudeStreamJsonReply)->Arg(1021)->Arg(65536);

static void BM_PlainTextKoreanReply(benchmark::State& state)
{
    const QByteArray output = QStringLiteral("오늘 회의는 3시에 시작해요, and then we go on. ").repeated(200).toUtf8();
    decodeAndParse(state, CLIAssistantClient::OutputMode::plainText, output);
}
BENCHMARK(BM_PlainTextKoreanReply)->Arg(1021)->Arg(65536);
