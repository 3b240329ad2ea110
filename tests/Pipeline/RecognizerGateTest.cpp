#include "Pipeline/RecognizerGate.h"

#include "Audio/TestBuffers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr double kQuiet = 0.01;
constexpr double kLoud = 0.5;
constexpr std::int64_t kFrames = 1600;  // 100 ms at 16 kHz

// Buffers of 100 ms with these levels, numbered by the position of their first frame.
struct Levels {
    int count;
    double level;
};

TEST(RecognizerGate, TheRecognizerHearsSoundWithTheSecondBeforeItAndTheQuietAfterItForTheHold)
{
    struct Case {
        const char* name;
        std::vector<Levels> runs;
        std::vector<int> heard;  // the buffers fed, in the order fed
    };
    const auto range = [](int from, int to) {
        std::vector<int> numbers;
        for (int n = from; n <= to; ++n)
            numbers.push_back(n);
        return numbers;
    };
    const auto joined = [](std::vector<int> first, const std::vector<int>& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    };
    const Case cases[] = {
        {"a silent room is never decoded", {{60, kQuiet}}, {}},
        {"just under the open level is quiet", {{10, RecognizerGate::kOpenLevel * 0.99}}, {}},
        {"the open level itself is sound", {{1, RecognizerGate::kOpenLevel}}, {0}},
        // Buffer 30 ends at 3.1 s; the lead-in starts a second before buffer 29 ends.
        {"the first sound brings the last second of quiet before it", {{30, kQuiet}, {1, kLoud}}, range(20, 30)},
        {"a sound at once has no lead-in", {{1, kLoud}, {2, kQuiet}}, range(0, 2)},
        // The sound ends at 0.1 s; buffer 30 ends 3 s later, buffer 31 after that.
        {"the quiet after a sound is heard for the hold, then held back", {{1, kLoud}, {40, kQuiet}}, range(0, 30)},
        {"a sound within the hold keeps it open",
         {{1, kLoud}, {25, kQuiet}, {1, kLoud}, {40, kQuiet}},
         range(0, 56)},
        // Held back from buffer 31 on; the sound at 45 brings 35 to 44 before it.
        {"after the hold a new sound opens it again with its own lead-in",
         {{1, kLoud}, {44, kQuiet}, {1, kLoud}},
         joined(range(0, 30), range(35, 45))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecognizerGate gate;
        std::vector<int> heard;
        int number = 0;
        for (const Levels& run : c.runs)
            for (int i = 0; i < run.count; ++i, ++number)
                gate.pass(makeBuffer({16000, 1}, kFrames, [](int, std::int64_t) { return 0.0f; }, number * kFrames),
                          run.level,
                          [&](const AudioBufferPtr& buffer) { heard.push_back(int(buffer->framePosition() / kFrames)); });
        EXPECT_EQ(heard, c.heard);
    }
}

}  // namespace
