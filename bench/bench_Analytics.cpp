// The analytics client's per-record and per-batch costs: every forwarded pipeline-log entry
// becomes one queued file, and each upload encodes and compresses up to 100 records.
#include "Analytics/Gzip.h"
#include "Analytics/RozeLogQueue.h"
#include "Analytics/RozeOtlp.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

RozeLogRecord sampleRecord(int n)
{
    return {QDateTime::fromMSecsSinceEpoch(1'767'600'000'000 + n), RozeSeverity::info,
            QStringLiteral("[fsm] listening → thinking (turn ended after 1840 ms)"),
            QVariantMap{{QStringLiteral("category"), QStringLiteral("fsm")},
                        {QStringLiteral("ts"), 1767600000.0 + n},
                        {QStringLiteral("len"), 42}}};
}

}  // namespace

static void BM_EncodeAndCompressBatch(benchmark::State& state)
{
    QList<QJsonObject> records;
    for (int n = 0; n < state.range(0); ++n)
        records.append(RozeOtlp::logRecord(sampleRecord(n)));
    const QJsonObject resource = RozeOtlp::resource(QStringLiteral("parlivox"), QStringLiteral("0.1.0"));
    qsizetype compressed = 0;
    for (auto _ : state) {
        const auto body = Gzip::compress(RozeOtlp::logsRequest(resource, records));
        compressed = body->size();
        benchmark::DoNotOptimize(body);
    }
    state.counters["gzip_bytes"] = static_cast<double>(compressed);
}
BENCHMARK(BM_EncodeAndCompressBatch)->Arg(1)->Arg(100);

static void BM_QueueOneRecord(benchmark::State& state)
{
    QTemporaryDir dir;
    RozeLogQueue queue(dir.path() + QStringLiteral("/queue"), 1000);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(queue.enqueue(RozeOtlp::logRecord(sampleRecord(n++))));
}
BENCHMARK(BM_QueueOneRecord);
