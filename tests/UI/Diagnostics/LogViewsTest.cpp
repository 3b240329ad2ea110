// The raw log and the timeline follow the pipeline log itself: new entries and a clear show
// at once, each lists only the newest of a long log while its copy and the timeline's count
// take them all, the timeline keeps following once the log is full, and copies reach the
// clipboard.
#include "UI/Diagnostics/LogView.h"
#include "UI/Diagnostics/TimelineView.h"

#include "Common/QtPrinters.h"
#include "UI/Diagnostics/LogListView.h"
#include "UI/Models/PipelineLogModel.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

using namespace std::chrono_literals;

namespace {
struct Panel {
    const char* name;
    std::function<std::unique_ptr<LogPanel>(AppContext&)> make;
    int listed;  // the most rows it lists
};

const Panel panels[] = {
    {"raw log", [](AppContext& context) { return std::make_unique<LogView>(context); }, 80},
    {"timeline", [](AppContext& context) { return std::make_unique<TimelineView>(context); }, 120},
};

void record(UiTestContext& ui, int count)
{
    for (int i = 0; i < count; ++i) {
        ui.scheduler.advance(250ms);
        ui.log.record(QStringLiteral("stats"), QStringLiteral("tick %1").arg(i));
    }
}

// Lets the list lay out its rows and the settle timer scroll, as the event loop would.
void settle(UiTestContext& ui)
{
    QApplication::processEvents();
    ui.scheduler.runDue();
    QApplication::processEvents();
}

// The entry at the top of the list and how far its row starts above the top.
std::pair<QUuid, int> topEntry(LogPanel& panel)
{
    const QModelIndex top = panel.list().indexAt(QPoint(1, 1));
    return {panel.model().entry(top.row()).id, panel.list().visualRect(top).top()};
}

bool newestInView(LogListView& list)
{
    const QModelIndex newest = list.model()->index(list.model()->rowCount() - 1, 0);
    return list.viewport()->rect().contains(list.visualRect(newest));
}

QPushButton& button(QWidget& panel, const char* name)
{
    return *panel.findChild<QPushButton*>(QLatin1String(name));
}
}  // namespace

TEST(LogViews, ShowEveryNewEntryAndAClearAtOnceWithoutAnyEngineChange)
{
    for (const Panel& kind : panels) {
        SCOPED_TRACE(kind.name);
        UiTestContext ui;
        const auto panel = kind.make(ui.context);
        record(ui, 3);
        EXPECT_EQ(panel->list().model()->rowCount(), 3);

        button(*panel, "clearLogButton").click();
        EXPECT_EQ(ui.commands.calls, QStringList{QStringLiteral("clearLog()")}) << "the engine owns the log";
        ui.log.clear();  // what the engine does
        EXPECT_EQ(panel->list().model()->rowCount(), 0);

        record(ui, 1);
        EXPECT_EQ(panel->list().model()->rowCount(), 1);

        record(ui, 149);
        EXPECT_EQ(panel->list().model()->rowCount(), std::min(150, kind.listed));
        EXPECT_EQ(panel->model().entry(0).id, ui.log.entries()[150 - std::min(150, kind.listed)].id) << "the newest";
        button(*panel, "copyLogButton").click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), 149) << "the copy takes them all";
    }
    UiTestContext ui;
    TimelineView timeline(ui.context);
    record(ui, 150);
    const QLabel& title = *timeline.findChild<QLabel*>(QStringLiteral("logTitle"));
    EXPECT_EQ(title.text(), QString()) << "counted only while shown";
    timeline.show();
    EXPECT_EQ(title.text(), QStringLiteral("Timeline (150 events)")) << "all of them, not the rows listed";
    record(ui, 80);
    EXPECT_EQ(title.text(), QStringLiteral("Timeline (200 events)"));
    record(ui, 1);
    EXPECT_EQ(title.text(), QStringLiteral("Timeline (200 events)"));
    EXPECT_EQ(title.accessibleName(), QStringLiteral("Timeline")) << "the count is not announced";
}

TEST(LogViews, TheTimelineFollowsEachNewestEntryAlsoOnceTheLogIsFullUntilTheUserScrollsUpToRead)
{
    UiTestContext ui;
    record(ui, 150);
    TimelineView timeline(ui.context);
    timeline.resize(600, 300);
    timeline.show();
    LogListView& list = timeline.list();
    QScrollBar& bar = *list.verticalScrollBar();
    settle(ui);
    EXPECT_TRUE(newestInView(list)) << "opens on the newest entry";

    for (int i = 0; i < 60; ++i) {  // past the log's bound, where its length stops changing
        record(ui, 1);
        settle(ui);
        ASSERT_TRUE(newestInView(list)) << i;
    }

    bar.setValue(bar.maximum() - 400);  // the user scrolls up
    const auto reading = topEntry(timeline);
    record(ui, 3);
    settle(ui);
    EXPECT_FALSE(newestInView(list));
    EXPECT_EQ(topEntry(timeline), reading) << "what the user reads stays in place";

    bar.setValue(bar.maximum());  // back at the bottom
    record(ui, 1);
    settle(ui);
    EXPECT_TRUE(newestInView(list));
}

TEST(LogViews, CopyTheWholeLogOrOneLineToTheClipboard)
{
    UiTestContext ui;
    ui.log.record(QStringLiteral("stt"), QStringLiteral("started OK"));
    ui.scheduler.advance(250ms);
    ui.log.record(QStringLiteral("fsm"), QStringLiteral("idle → listening [session start]"));
    const QString first = QStringLiteral("09:00:00.000000 [stt] started OK");
    const QString second = QStringLiteral("09:00:00.250000 [fsm] idle → listening [session start]");
    LogView rawLog(ui.context);
    TimelineView timeline(ui.context);
    rawLog.resize(600, 240);
    rawLog.show();
    QApplication::processEvents();
    LogListView& rows = rawLog.list();

    const struct {
        const char* copy;
        std::function<void()> act;
        QString expected;
    } cases[] = {
        {"raw log, all", [&] { button(rawLog, "copyLogButton").click(); }, first + QLatin1Char('\n') + second},
        {"raw log, the chosen row",
         [&] {
             rows.setCurrentIndex(rows.model()->index(1, 0));
             QTest::keyClick(&rows, Qt::Key_C, Qt::ControlModifier);
         },
         second},
        {"raw log, a row's copy button",
         [&] {
             const QRect row = rows.visualRect(rows.model()->index(0, 0));
             QTest::mouseMove(rows.viewport(), QPoint(rows.viewport()->width() - 10, row.center().y()));
             QTest::mouseClick(rows.viewport(), Qt::LeftButton, {},
                               QPoint(rows.viewport()->width() - 10, row.center().y()));
         },
         first},
        {"timeline, all", [&] { button(timeline, "copyLogButton").click(); },
         QStringLiteral("09:00:00.000000 +0ms [stt] started OK\n"
                        "09:00:00.250000 +250ms [fsm] idle → listening [session start]")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copy);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        c.act();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.expected);
    }
}
