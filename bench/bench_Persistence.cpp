// The window looks every caption up again on each redraw, so a lookup must stay cheap; each
// table is parsed once, at the first lookup in its language.
#include "Persistence/AppLanguage.h"
#include "Persistence/L10n.h"
#include "Support/FileIO.h"

#include <benchmark/benchmark.h>

static void BM_L10nLookup(benchmark::State& state)
{
    L10n::t(QString(), AppLanguage::korean);
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::t(QStringLiteral("settings.camera_grayscale_help"), AppLanguage::korean));
}
BENCHMARK(BM_L10nLookup);

static void BM_L10nLookupOfAMissingKey(benchmark::State& state)
{
    L10n::t(QString(), AppLanguage::thai);
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::t(QStringLiteral("skill.aliases.add.name"), AppLanguage::thai));
}
BENCHMARK(BM_L10nLookupOfAMissingKey);

static void BM_L10nParseTable(benchmark::State& state)
{
    const QByteArray json = FileIO::readAll(L10n::tablePath(AppLanguage::japanese)).value_or(QByteArray());
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::parseTable(json));
}
BENCHMARK(BM_L10nParseTable);
