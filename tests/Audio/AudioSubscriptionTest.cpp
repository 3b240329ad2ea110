#include "Audio/AudioSubscription.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "TestBuffers.h"

#include <QTest>

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

TEST(AudioSubscription, BuffersDroppedWhileTheReaderLaggedAreLogged)
{
    const LogCapture log(QStringLiteral("app.parlivox.audio.input"));
    const auto channel = std::make_shared<AudioChannel>(64);
    std::int64_t pushed = 0;
    auto push = [&](int count) {
        for (int i = 0; i < count; ++i, ++pushed)
            channel->push(makeBuffer(
                {48000, 1}, 16, [](int, std::int64_t) { return 0.0f; }, pushed));
    };
    std::vector<std::int64_t> received;
    push(70);
    AudioSubscription subscription(channel,
                                   [&](const AudioBufferPtr& buffer) { received.push_back(buffer->framePosition()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 64; }, 5000));
    EXPECT_EQ(received.front(), 6);
    push(66);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 128; }, 5000));
    EXPECT_THAT(log.messages(), ElementsAre(QStringLiteral("subscriber fell behind: 6 buffers dropped (6 in all)"),
                                            QStringLiteral("subscriber fell behind: 2 buffers dropped (8 in all)")));
}

}  // namespace
