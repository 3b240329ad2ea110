// The list model follows the pipeline log row by row: what it announces is the newest entries
// the log holds, as many as its window takes.
#include "UI/Models/PipelineLogModel.h"

#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {
QList<QUuid> ids(const PipelineLogModel& model)
{
    QList<QUuid> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.entry(row).id;
    return rows;
}

QList<QUuid> ids(const PipelineLog& log)
{
    QList<QUuid> rows;
    for (const PipelineLog::Entry& entry : log.entries())
        rows << entry.id;
    return rows;
}
}  // namespace

TEST(PipelineLogModel, ShowsTheNewestEntriesOfTheLogThroughAppendsDropsAndClearsAndAnnouncesEachNewNewest)
{
    // The whole log, the timeline's and the raw log's windows, one row.
    for (const int window : {200, 120, 80, 1}) {
        SCOPED_TRACE(window);
        FakeScheduler scheduler;
        PipelineLog log(scheduler);
        for (int i = 0; i < 130; ++i)
            log.record(QStringLiteral("session"), QStringLiteral("before the model %1").arg(i));
        PipelineLogModel model(log, window);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy newest(&model, &PipelineLogModel::newestChanged);
        QSignalSpy firstRowChanged(&model, &QAbstractItemModel::dataChanged);

        const struct {
            const char* step;
            std::function<void()> act;
            int entries;  // in the log
            int newestSignals;
        } steps[] = {
            {"fill to the bound",
             [&] {
                 for (int i = 0; i < 70; ++i)
                     log.record(QStringLiteral("stats"), QString::number(i));
             },
             200, 70},
            {"one past the bound", [&] { log.record(QStringLiteral("fsm"), QStringLiteral("idle → listening")); }, 200,
             1},
            {"clear", [&] { log.clear(); }, 0, 1},
            {"record after clear", [&] { log.record(QStringLiteral("turn"), QStringLiteral("ended")); }, 1, 1},
            {"a bound of one",
             [&] {
                 log.setMaxEntries(1);
                 log.record(QStringLiteral("tts"), QStringLiteral("started"));
             },
             1, 1},
            {"a bound of none",
             [&] {
                 log.setMaxEntries(0);
                 log.record(QStringLiteral("tts"), QStringLiteral("dropped at once"));
             },
             0, 2},
        };
        for (const auto& step : steps) {
            SCOPED_TRACE(step.step);
            newest.clear();
            step.act();
            ASSERT_EQ(log.entries().size(), step.entries);
            EXPECT_EQ(model.rowCount(), std::min(window, step.entries));
            EXPECT_EQ(ids(model), ids(log).last(model.rowCount())) << "the newest";
            EXPECT_EQ(newest.count(), step.newestSignals);
            EXPECT_EQ(model.newestId(),
                      log.entries().isEmpty() ? std::nullopt : std::optional(log.entries().last().id));
            EXPECT_EQ(model.rowCount() > 0 ? model.previous(0) : nullptr, nullptr) << "the first row has none above it";
        }
        if (window > 1) {
            EXPECT_GT(firstRowChanged.count(), 0) << "the row that became first lost its gap";
        }
    }
}

TEST(PipelineLogModel, ShowsEachEntryAsItsLogLineAndNothingForOtherRoles)
{
    FakeScheduler scheduler;
    PipelineLog log(scheduler);
    log.record(QStringLiteral("error"), QStringLiteral("<b>not markup</b>"));
    const PipelineLogModel model(log, 80);
    EXPECT_EQ(model.data(model.index(0)).toString(), log.entries().first().line());
    EXPECT_FALSE(model.data(model.index(0), Qt::DecorationRole).isValid());
    EXPECT_EQ(model.previous(0), nullptr);
}
