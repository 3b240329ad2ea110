// One turn added to the conversation history: what the GUI thread pays (the turn kept in
// memory, its JSON line encoded and queued), and the same up to the line being in the day file.
#include "Common/TestEnvironment.h"
#include "Conversation/ConversationHistory.h"

#include <benchmark/benchmark.h>

namespace {

void BM_HistoryAppend(benchmark::State& state)
{
    const bool waitForTheFile = state.range(0) != 0;
    ScopedDataRoot root;
    ConversationHistory history;
    const ConversationTurn turn =
        ConversationTurn::make(ConversationTurn::Role::assistant,
                               QStringLiteral("Sure. The meeting starts at three o'clock in the small room; "
                                              "오늘 회의는 세 시에 시작합니다. Bring the laptop and the charger."),
                               QDateTime::currentDateTime());
    std::int64_t queued = 0;
    for (auto _ : state) {
        history.append(turn);
        if (waitForTheFile) {
            history.waitForWrites();
        } else if (++queued % 1000 == 0) {
            // Keeps the queue short without timing the writes.
            state.PauseTiming();
            history.waitForWrites();
            state.ResumeTiming();
        }
    }
    history.waitForWrites();
}
BENCHMARK(BM_HistoryAppend)->ArgName("written")->Arg(0)->Arg(1);

}  // namespace
