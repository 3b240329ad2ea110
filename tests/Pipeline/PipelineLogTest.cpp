#include "Pipeline/PipelineLog.h"

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
    struct Case {
        QTime time;
        int extraMicroseconds;
        const char* full;
        const char* shortLine;
    };
    const Case cases[] = {
        {QTime(1, 2, 3), 45, "01:02:03.000045 [fsm] idle → listening", "01:02:03 [fsm] idle → listening"},
        {QTime(23, 59, 59, 999), 999, "23:59:59.999999 [fsm] idle → listening", "23:59:59 [fsm] idle → listening"},
        {QTime(0, 0, 0), 0, "00:00:00.000000 [fsm] idle → listening", "00:00:00 [fsm] idle → listening"},
        {QTime(12, 30, 0, 120), 7, "12:30:00.120007 [fsm] idle → listening", "12:30:00 [fsm] idle → listening"},
    };
    for (const auto& c : cases) {
        const PipelineLog::Entry entry{QUuid::createUuid(), localMoment(c.time, c.extraMicroseconds),
                                       QStringLiteral("fsm"), QStringLiteral("idle → listening")};
        EXPECT_EQ(entry.line(), QString::fromUtf8(c.full));
        EXPECT_EQ(entry.line(PipelineLog::TimePrecision::seconds), QString::fromUtf8(c.shortLine));
    }
}

TEST(PipelineLog, FractionStaysPositiveBeforeTheEpoch)
{
    const auto moment = PipelineLog::Clock::time_point(microseconds(-1));  // 23:59:59.999999 UTC the day before
    EXPECT_TRUE(PipelineLog::timeOfDay(moment).endsWith(QStringLiteral(":59.999999")));
}

TEST(PipelineLog, KeepsTheNewestEntriesUpToTheBound)
{
    PipelineLog log;
    for (int i = 1; i <= 201; ++i)
        log.record(QStringLiteral("stats"), QString::number(i));
    ASSERT_EQ(log.entries().size(), 200);
    EXPECT_EQ(log.entries().first().message, QStringLiteral("2"));
    EXPECT_EQ(log.entries().last().message, QStringLiteral("201"));

    log.setMaxEntries(1);
    log.record(QStringLiteral("stats"), QStringLiteral("a"));
    EXPECT_EQ(messagesOf(log), QStringList{QStringLiteral("a")});
    log.record(QStringLiteral("stats"), QStringLiteral("b"));
    EXPECT_EQ(messagesOf(log), QStringList{QStringLiteral("b")});

    log.setMaxEntries(0);
    log.record(QStringLiteral("stats"), QStringLiteral("c"));
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST(PipelineLog, EachRecordIsStoredMirroredAndForwardedAsTheSameEntry)
{
    LogCapture systemLog(QStringLiteral("app.parlivox.pipeline"));
    PipelineLog log;
    int changes = 0;
    QObject::connect(&log, &PipelineLog::entriesChanged, [&] { ++changes; });
    QList<PipelineLog::Entry> forwarded;
    log.setForwardSink([&](const PipelineLog::Entry& entry) {
        EXPECT_EQ(log.entries().size(), 1) << "the entry is stored before it is forwarded";
        forwarded.append(entry);
    });

    log.record(QStringLiteral("turn"), QStringLiteral("user: 안녕"));

    ASSERT_EQ(forwarded.size(), 1);
    EXPECT_EQ(forwarded.first(), log.entries().first());
    EXPECT_FALSE(forwarded.first().id.isNull());
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(systemLog.lines().size(), 1);
    EXPECT_EQ(systemLog.lines().first().type, QtInfoMsg);
    EXPECT_EQ(systemLog.lines().first().message, QStringLiteral("[turn] user: 안녕"));
}

TEST(PipelineLog, DisabledLogNeitherStoresNorMirrorsNorForwards)
{
    LogCapture systemLog(QStringLiteral("app.parlivox.pipeline"));
    PipelineLog log;
    log.record(QStringLiteral("session"), QStringLiteral("before"));
    int forwarded = 0;
    int changes = 0;
    log.setForwardSink([&](const PipelineLog::Entry&) { ++forwarded; });
    QObject::connect(&log, &PipelineLog::entriesChanged, [&] { ++changes; });

    log.setEnabled(false);
    log.record(QStringLiteral("session"), QStringLiteral("while off"));
    EXPECT_EQ(forwarded, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(systemLog.messages(), QStringList{QStringLiteral("[session] before")});

    log.setEnabled(true);
    log.record(QStringLiteral("session"), QStringLiteral("after"));
    EXPECT_EQ(messagesOf(log), (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    EXPECT_EQ(forwarded, 1);
}
