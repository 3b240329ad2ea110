#include "Diagnostics/PipelineLog.h"

#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace std::chrono;

namespace {
PipelineLog::Clock::time_point localMoment(QTime time, int extraMicroseconds)
{
    const QDateTime local(QDate(2025, 5, 12), time, Qt::LocalTime);
    return PipelineLog::Clock::time_point(milliseconds(local.toMSecsSinceEpoch()) + microseconds(extraMicroseconds));
}

QStringList messagesOf(const PipelineLog& log)
{
    QStringList result;
    for (const auto& entry : log.entries())
        result.append(entry.message);
    return result;
}

}  // namespace

TEST(PipelineLog, LineShowsLocalTimeWithSixFractionDigitsThenCategoryAndMessage)
{
    const PipelineLog::Entry entry{QUuid::createUuid(), localMoment(QTime(1, 2, 3), 45), QStringLiteral("fsm"),
                                   QStringLiteral("idle → listening")};
    EXPECT_EQ(entry.line(), QStringLiteral("01:02:03.000045 [fsm] idle → listening"));
    EXPECT_EQ(entry.line(PipelineLog::TimePrecision::seconds), QStringLiteral("01:02:03 [fsm] idle → listening"));
    EXPECT_EQ(PipelineLog::timeOfDay(localMoment(QTime(23, 59, 59, 120), 7)), QStringLiteral("23:59:59.120007"));
    // 23:59:59.999999 UTC the day before: the fraction stays positive.
    EXPECT_TRUE(PipelineLog::timeOfDay(PipelineLog::Clock::time_point(microseconds(-1))).endsWith(":59.999999"));
}

TEST(PipelineLog, RowSignalsDescribeEachChangeSoAMirroredListStaysEqual)
{
    const auto fill = [](PipelineLog& log, int count) {
        for (int i = 1; i <= count; ++i)
            log.record(QStringLiteral("stats"), QString::number(i));
    };
    const auto recordX = [](PipelineLog& log) { log.record(QStringLiteral("turn"), QStringLiteral("x")); };
    const auto lowerBoundThenRecordX = [&](PipelineLog& log) {
        log.setMaxEntries(1);
        recordX(log);
    };
    const auto disableThenRecordX = [&](PipelineLog& log) {
        log.setEnabled(false);
        recordX(log);
    };
    const auto clear = [](PipelineLog& log) { log.clear(); };
    const struct {
        const char* name;
        qsizetype maxEntries;
        int before;
        std::function<void(PipelineLog&)> act;
        QStringList signalsSeen;
        QStringList messagesAfter;
    } cases[] = {
        {"below the bound", 3, 1, recordX, {"appended x 2", "changed 2"}, {"1", "x"}},
        {"at the bound", 2, 2, recordX, {"appended x 3", "dropped 1 2", "changed 2"}, {"2", "x"}},
        {"after the bound was lowered",
         3,
         3,
         lowerBoundThenRecordX,
         {"appended x 4", "dropped 3 1", "changed 1"},
         {"x"}},
        {"with a bound of 0", -1, 0, recordX, {"appended x 1", "dropped 1 0", "changed 0"}, {}},
        {"clear", 3, 2, clear, {"cleared 0", "changed 0"}, {}},
        {"clear an empty log", 3, 0, clear, {}, {}},
        {"record while disabled", 3, 2, disableThenRecordX, {}, {"1", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduler clock;
        PipelineLog log(clock);
        log.setMaxEntries(c.maxEntries);
        fill(log, c.before);
        // Each signal with the entries already showing its change.
        QStringList seen;
        const auto note = [&](const QString& what) { seen << what + QStringLiteral(" %1").arg(log.entries().size()); };
        QObject::connect(&log, &PipelineLog::entryAppended,
                         [&](const PipelineLog::Entry& entry) { note(QStringLiteral("appended ") + entry.message); });
        QObject::connect(&log, &PipelineLog::entriesDropped,
                         [&](qsizetype count) { note(QStringLiteral("dropped %1").arg(count)); });
        QObject::connect(&log, &PipelineLog::cleared, [&] { note(QStringLiteral("cleared")); });
        QObject::connect(&log, &PipelineLog::entriesChanged, [&] { note(QStringLiteral("changed")); });

        c.act(log);

        EXPECT_EQ(seen, c.signalsSeen);
        EXPECT_EQ(messagesOf(log), c.messagesAfter);
    }
}

TEST(PipelineLog, EachRecordIsStoredMirroredAndForwardedAsTheSameEntryUnlessDisabled)
{
    LogCapture systemLog(QStringLiteral("app.parlivox.pipeline"));
    FakeScheduler clock;
    clock.advance(milliseconds(1250));
    PipelineLog log(clock);
    EXPECT_EQ(log.maxEntries(), 200);
    QList<PipelineLog::Entry> forwarded;
    log.setForwardSink([&](const PipelineLog::Entry& entry) {
        EXPECT_EQ(log.entries().last(), entry) << "the entry is stored before it is forwarded";
        forwarded.append(entry);
    });

    log.record(QStringLiteral("turn"), QStringLiteral("user: 안녕"));
    log.setEnabled(false);
    log.record(QStringLiteral("session"), QStringLiteral("while off"));
    log.setEnabled(true);
    log.record(QStringLiteral("session"), QStringLiteral("after"));

    ASSERT_EQ(forwarded, log.entries());
    ASSERT_EQ(forwarded.size(), 2);
    EXPECT_FALSE(forwarded.first().id.isNull());
    EXPECT_EQ(forwarded.first().timestamp.time_since_epoch(), milliseconds(clock.wallNow().toMSecsSinceEpoch()));
    ASSERT_EQ(systemLog.lines().size(), 2);
    EXPECT_EQ(systemLog.lines().first().type, QtInfoMsg);
    EXPECT_EQ(systemLog.messages(),
              (QStringList{QStringLiteral("[turn] user: 안녕"), QStringLiteral("[session] after")}));
}
