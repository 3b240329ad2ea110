// The diagnostics tab: what stands where the timeline goes, the report box's file row, the
// raw log shown on demand, and keyboard reach.
#include "UI/Diagnostics/DiagnosticsTab.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "UI/Diagnostics/LogView.h"
#include "UI/Diagnostics/TimelineView.h"
#include "UI/KeyboardAccess.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/UiTestContext.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
QString noticeText(DiagnosticsTab& tab)
{
    const auto* notice = tab.findChild<QLabel*>(QStringLiteral("timelineNoticeText"));
    return notice ? notice->text() : QString();
}
}  // namespace

TEST(DiagnosticsTab, TheTimelineSlotFollowsLoggingAndTheDrawingProbeAtOnce)
{
    const QString loggingOff = QStringLiteral(
        "Collect live pipeline events for the Diagnostics tab. OFF saves a few % CPU/RAM in long sessions.");
    const QString drawingOff =
        QStringLiteral("Timeline drawing is off. The log is still collected in memory but not shown on screen.");
    const struct {
        bool logging;
        bool drawing;
        bool timeline;
        QString notice;
    } cases[] = {
        {true, true, true, QString()},    {false, true, false, loggingOff}, {false, false, false, drawingOff},
        {true, false, false, drawingOff}, {true, true, true, QString()},
    };
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    DiagnosticsTab tab(ui.context);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "logging " << c.logging << ", drawing " << c.drawing);
        ui.settings.setDiagnosticsLoggingEnabled(c.logging);
        ui.settings.setProbeTimelineRenderEnabled(c.drawing);
        EXPECT_EQ(tab.findChild<TimelineView*>() != nullptr, c.timeline);
        EXPECT_EQ(noticeText(tab), c.notice);
    }
    EXPECT_TRUE(ui.commands.calls.isEmpty()) << "the window, not the tab, applies the logging switch";

    // The notice follows the interface language at once.
    ui.settings.setProbeTimelineRenderEnabled(false);
    ui.settings.setUiLanguage(AppLanguage::korean);
    EXPECT_EQ(
        noticeText(tab),
        QStringLiteral("Timeline 렌더링이 OFF 입니다. 로그는 계속 메모리에 수집되지만 화면에는 표시되지 않습니다."));
}

TEST(DiagnosticsTab, TheFileRowNamesTheLastReportWrittenAndGoesWhenOneCannotBeWritten)
{
    ScopedDataRoot root;
    UiTestContext ui;
    DiagnosticsTab tab(ui.context);
    tab.resize(800, 720);
    tab.show();
    auto& send = *tab.findChild<QPushButton*>(QStringLiteral("sendReportButton"));
    auto& row = *tab.findChild<QWidget*>(QStringLiteral("reportFileRow"));
    auto& name = *tab.findChild<ElidedLabel*>(QStringLiteral("reportFileName"));
    EXPECT_FALSE(row.isVisible());

    send.click();
    EXPECT_TRUE(row.isVisible());
    EXPECT_EQ(name.text(), QStringLiteral("diagnostic-20260105-090000.txt"));
    ui.scheduler.advance(std::chrono::seconds(2));
    send.click();
    EXPECT_EQ(name.text(), QStringLiteral("diagnostic-20260105-090002.txt"));
    ui.workspace.revealed.clear();
    tab.findChild<QWidget*>(QStringLiteral("revealReportButton"))->setFocus();
    static_cast<QAbstractButton*>(tab.findChild<QWidget*>(QStringLiteral("revealReportButton")))->click();
    EXPECT_EQ(ui.workspace.revealed, QStringList{AppPaths::logs() + QStringLiteral("/diagnostic-20260105-090002.txt")});

    name.resize(120, name.height());
    EXPECT_TRUE(name.shownText().startsWith(QStringLiteral("diag")));
    EXPECT_TRUE(name.shownText().endsWith(QStringLiteral(".txt")));

    QDir(AppPaths::logs()).removeRecursively();
    ASSERT_TRUE(FileIO::writeAtomically(AppPaths::logs(), "a file where the folder should be"));
    const qsizetype mails = ui.workspace.opened.size();
    send.click();
    EXPECT_FALSE(row.isVisible());
    EXPECT_EQ(ui.workspace.opened.size(), mails + 1) << "the mail draft opens all the same";
}

TEST(DiagnosticsTab, TheRawLogShowsOnDemandAndEveryControlIsReachedByKeyboard)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    DiagnosticsTab tab(ui.context);
    tab.resize(800, 720);
    tab.show();
    auto& button = *tab.findChild<QPushButton*>(QStringLiteral("rawLogButton"));
    EXPECT_EQ(button.text(), QStringLiteral("Show raw log"));
    EXPECT_EQ(tab.findChild<LogView*>(), nullptr);

    button.click();
    EXPECT_EQ(button.text(), QStringLiteral("Hide raw log"));
    EXPECT_NE(tab.findChild<LogView*>(), nullptr);
    ui.settings.setUiLanguage(AppLanguage::korean);
    EXPECT_EQ(button.text(), QStringLiteral("원본 로그 숨기기"));

    tab.findChild<QPushButton*>(QStringLiteral("sendReportButton"))->click();
    EXPECT_EQ(keyboardAccessFaults(tab), QStringList());

    button.click();
    EXPECT_EQ(tab.findChild<LogView*>(), nullptr);
}
