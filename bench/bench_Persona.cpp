// Per-turn costs of the persona folder: the system prompt is rebuilt from its files for
// every backend request, and the aliases are applied to every finished transcript.
#include "Persona/AliasStore.h"
#include "Persona/PersonaStore.h"
#include "Storage/AppPaths.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
// A private data root, so the benchmark never touches the user's files.
struct ScratchRoot {
    ScratchRoot() { AppPaths::overrideRoot(dir.path() + QStringLiteral("/.parli_vox_mac")); }
    ~ScratchRoot() { AppPaths::overrideRoot(QString()); }
    QTemporaryDir dir;
};
}  // namespace

static void BM_SystemPromptKoreanConversation(benchmark::State& state)
{
    ScratchRoot root;
    const SystemPromptRequest request{QStringLiteral("민지"),
                                      QStringLiteral("ko-KR"),
                                      {},
                                      AppMode::conversation,
                                      QStringLiteral("a1b2c3d4-conv-default"),
                                      {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(PersonaStore::systemPrompt(request));
}
BENCHMARK(BM_SystemPromptKoreanConversation);

static void BM_AliasApply(benchmark::State& state)
{
    ScratchRoot root;
    for (int i = 0; i < state.range(0); ++i)
        AliasStore::add(QStringLiteral("잘못 %1").arg(i), QStringLiteral("correct %1").arg(i));
    const QString transcript = QStringLiteral("오늘 잘못 3 회의는 잘못 17 에서 세 시에 시작해요. ").repeated(4);
    for (auto _ : state)
        benchmark::DoNotOptimize(AliasStore::apply(transcript));
}
BENCHMARK(BM_AliasApply)->Arg(10)->Arg(100);
