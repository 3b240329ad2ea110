#include "Backend/ReplyStream.h"
#include "Common/QtPrinters.h"
#include "ReplyCollector.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

void drainEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace

TEST(ReplyStream, DeliversPiecesInOrderThenOneEndingOnlyAfterTheEventLoop)
{
    ReplyStream stream;
    stream.push("a");
    stream.push("b");
    stream.finish();
    // Connected after the producer was done: nothing may have been lost.
    ReplyCollector collector(stream);
    EXPECT_TRUE(collector.pieces.isEmpty());
    drainEvents();
    EXPECT_EQ(collector.pieces, QStringList({"a", "b"}));
    EXPECT_EQ(collector.finishedCount, 1);
}

TEST(ReplyStream, IgnoresEverythingAfterTheEndingAndHasNothingLeftToCancel)
{
    struct Case {
        const char* name;
        void (*end)(ReplyStream&);
        int finished;
        QStringList failures;
    };
    const Case cases[] = {
        {"finish", [](ReplyStream& s) { s.finish(); }, 1, {}},
        {"fail", [](ReplyStream& s) { s.fail("boom"); }, 0, {"boom"}},
    };
    for (const Case& c : cases) {
        ReplyStream stream;
        ReplyCollector collector(stream);
        int stops = 0;
        stream.setCancelHandler([&] { ++stops; });
        stream.push("x");
        c.end(stream);
        stream.push("late");
        stream.finish();
        stream.fail("again");
        drainEvents();
        stream.cancel();
        EXPECT_EQ(stops, 0) << c.name;
        EXPECT_EQ(collector.pieces, QStringList{"x"}) << c.name;
        EXPECT_EQ(collector.finishedCount, c.finished) << c.name;
        EXPECT_EQ(collector.failures, c.failures) << c.name;
    }
}

TEST(ReplyStream, CancelStopsTheWorkOnceAndSilencesWhatIsPending)
{
    ReplyStream stream;
    ReplyCollector collector(stream);
    int stops = 0;
    stream.setCancelHandler([&] { ++stops; });
    stream.push("queued before cancel");
    stream.cancel();
    stream.cancel();
    stream.push("after");
    stream.finish();
    drainEvents();
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(collector.pieces.isEmpty());
    EXPECT_FALSE(collector.ended());
    EXPECT_TRUE(stream.isCancelled());
}
