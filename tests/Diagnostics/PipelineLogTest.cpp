#include "Diagnostics/PipelineLog.h"

#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QAbstractListModel>
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

// A list model that follows the log only through its row signals, as the window's lists do.
class RowMirror final : public QAbstractListModel {
public:
    explicit RowMirror(const PipelineLog& log) : m_rows(log.entries())
    {
        connect(&log, &PipelineLog::entryAppended, this, [this](const PipelineLog::Entry& entry) {
            beginInsertRows({}, int(m_rows.size()), int(m_rows.size()));
            m_rows.append(entry);
            endInsertRows();
        });
        connect(&log, &PipelineLog::entriesDropped, this, [this](qsizetype count) {
            beginRemoveRows({}, 0, int(count) - 1);
            m_rows.remove(0, count);
            endRemoveRows();
        });
        connect(&log, &PipelineLog::cleared, this, [this] {
            beginResetModel();
            m_rows.clear();
            endResetModel();
        });
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(m_rows.at(index.row()).message) : QVariant();
    }
    const QList<PipelineLog::Entry>& rows() const { return m_rows; }

private:
    QList<PipelineLog::Entry> m_rows;
};
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
        {"below the bound", 3, 1, recordX, {"appended x", "changed"}, {"1", "x"}},
        {"at the bound", 2, 2, recordX, {"appended x", "dropped 1", "changed"}, {"2", "x"}},
        {"after the bound was lowered", 3, 3, lowerBoundThenRecordX, {"appended x", "dropped 3", "changed"}, {"x"}},
        {"with a bound of 0", 0, 0, recordX, {"appended x", "dropped 1", "changed"}, {}},
        {"clear", 3, 2, clear, {"cleared", "changed"}, {}},
        {"clear an empty log", 3, 0, clear, {}, {}},
        {"record while disabled", 3, 2, disableThenRecordX, {}, {"1", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduler clock;
        PipelineLog log(clock);
        log.setMaxEntries(c.maxEntries);
        fill(log, c.before);
        RowMirror mirror(log);
        QAbstractItemModelTester tester(&mirror, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QStringList seen;
        QObject::connect(&log, &PipelineLog::entryAppended,
                         [&](const PipelineLog::Entry& entry) { seen << QStringLiteral("appended ") + entry.message; });
        QObject::connect(&log, &PipelineLog::entriesDropped,
                         [&](qsizetype count) { seen << QStringLiteral("dropped %1").arg(count); });
        QObject::connect(&log, &PipelineLog::cleared, [&] { seen << QStringLiteral("cleared"); });
        QObject::connect(&log, &PipelineLog::entriesChanged, [&] { seen << QStringLiteral("changed"); });

        c.act(log);

        EXPECT_EQ(seen, c.signalsSeen);
        EXPECT_EQ(messagesOf(log), c.messagesAfter);
        EXPECT_EQ(mirror.rows(), log.entries());
    }
}

TEST(PipelineLog, EachRecordIsStoredMirroredAndForwardedAsTheSameEntry)
{
    LogCapture systemLog(QStringLiteral("app.parlivox.pipeline"));
    FakeScheduler clock;
    clock.advance(milliseconds(1250));
    PipelineLog log(clock);
    EXPECT_EQ(log.maxEntries(), 200);
    QList<PipelineLog::Entry> forwarded;
    log.setForwardSink([&](const PipelineLog::Entry& entry) {
        EXPECT_EQ(log.entries().size(), 1) << "the entry is stored before it is forwarded";
        forwarded.append(entry);
    });

    log.record(QStringLiteral("turn"), QStringLiteral("user: 안녕"));

    ASSERT_EQ(forwarded.size(), 1);
    EXPECT_EQ(forwarded.first(), log.entries().first());
    EXPECT_FALSE(forwarded.first().id.isNull());
    EXPECT_EQ(forwarded.first().timestamp.time_since_epoch(), milliseconds(clock.wallNow().toMSecsSinceEpoch()));
    ASSERT_EQ(systemLog.lines().size(), 1);
    EXPECT_EQ(systemLog.lines().first().type, QtInfoMsg);
    EXPECT_EQ(systemLog.lines().first().message, QStringLiteral("[turn] user: 안녕"));
}

TEST(PipelineLog, DisabledLogNeitherStoresNorMirrorsNorForwards)
{
    LogCapture systemLog(QStringLiteral("app.parlivox.pipeline"));
    FakeScheduler clock;
    PipelineLog log(clock);
    log.record(QStringLiteral("session"), QStringLiteral("before"));
    int forwarded = 0;
    log.setForwardSink([&](const PipelineLog::Entry&) { ++forwarded; });

    log.setEnabled(false);
    log.record(QStringLiteral("session"), QStringLiteral("while off"));
    EXPECT_EQ(forwarded, 0);
    EXPECT_EQ(systemLog.messages(), QStringList{QStringLiteral("[session] before")});

    log.setEnabled(true);
    log.record(QStringLiteral("session"), QStringLiteral("after"));
    EXPECT_EQ(messagesOf(log), (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    EXPECT_EQ(forwarded, 1);
}
