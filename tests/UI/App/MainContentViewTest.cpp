#include "UI/App/MainContentView.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "UI/App/MainWindow.h"
#include "UI/KeyboardAccess.h"
#include "UI/UiTestContext.h"

#include <QAction>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {
using Change = std::function<void(AppSettings&)>;

struct EngineStep {
    const char* name;
    Change before;  // made before the window exists
    bool clockedIn;
    Change change;
    QStringList expected;
};

TEST(MainContentView, keepsTheEngineInStepWithTheWatchedSettings)
{
    const Change none = [](AppSettings&) {};
    const QStringList reapply{QStringLiteral("applySettings()")};
    const EngineStep steps[] = {
        {"speech locale", none, false, [](AppSettings& s) { s.setLocaleID(QStringLiteral("en-US")); }, reapply},
        {"same locale again", none, false, [](AppSettings& s) { s.setLocaleID(s.localeID()); }, {}},
        {"translation target", none, false, [](AppSettings& s) { s.setTranslateTargetLocale(QStringLiteral("ja-JP")); },
         reapply},
        {"avatar gender", none, false, [](AppSettings& s) { s.setAvatarGender(AvatarGender::male); }, reapply},
        {"voice", none, false, [](AppSettings& s) { s.setSelectedVoiceID(QStringLiteral("ko+f3")); }, reapply},
        {"phase sounds", none, false, [](AppSettings& s) { s.setPhaseSoundsEnabled(false); }, reapply},
        {"grayscale", none, false, [](AppSettings& s) { s.setCameraGrayscaleProcessing(false); }, reapply},
        {"diagnostics logging", none, false, [](AppSettings& s) { s.setDiagnosticsLoggingEnabled(false); }, reapply},
        {"telemetry", none, false, [](AppSettings& s) { s.setTelemetryEnabled(false); }, reapply},
        {"camera gaze on",
         none,
         false,
         [](AppSettings& s) { s.setCameraGazeEnabled(true); },
         {QStringLiteral("setCameraGaze(true)")}},
        {"camera gaze off",
         [](AppSettings& s) { s.setCameraGazeEnabled(true); },
         false,
         [](AppSettings& s) { s.setCameraGazeEnabled(false); },
         {QStringLiteral("setCameraGaze(false)")}},
        {"mode while clocked out",
         none,
         false,
         [](AppSettings& s) { s.setAppMode(AppMode::minutes); },
         {QStringLiteral("setEnabled(true)")}},
        {"mode while clocked in",
         none,
         true,
         [](AppSettings& s) { s.setAppMode(AppMode::translate); },
         {QStringLiteral("applyAppModeChange()")}},
        {"interface language", none, false, [](AppSettings& s) { s.setUiLanguage(AppLanguage::japanese); }, {}},
        {"a setting read later", none, false, [](AppSettings& s) { s.setBargeInEnabled(false); }, {}},
    };
    for (const EngineStep& step : steps) {
        SCOPED_TRACE(step.name);
        UiTestContext ui;
        step.before(ui.settings);
        ui.engine.setEnabled(step.clockedIn);
        MainContentView view(ui.context);
        EXPECT_EQ(ui.commands.calls, QStringList()) << "nothing is called at launch";
        step.change(ui.settings);
        EXPECT_EQ(ui.commands.calls, step.expected);
    }
}

TEST(MainContentView, startsOnTalkAndRelabelsTabsInTheInterfaceLanguage)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    MainContentView view(ui.context);
    auto* tabs = view.findChild<QTabWidget*>(QStringLiteral("mainTabs"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(view.selectedTab(), AppTab::talk);
    const QStringList names{QStringLiteral("talkTab"), QStringLiteral("agentTab"), QStringLiteral("settingsTab"),
                            QStringLiteral("diagnosticsTab")};
    // Only the talk page is built before its tab is first chosen.
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(tabs->widget(i)->findChild<QWidget*>(names[i]) != nullptr, i == 0) << i;
    for (int i = 0; i < names.size(); ++i) {
        tabs->setCurrentIndex(i);
        EXPECT_NE(tabs->widget(i)->findChild<QWidget*>(names[i]), nullptr) << i;
    }
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Settings"));
    ui.settings.setUiLanguage(AppLanguage::korean);
    EXPECT_EQ(tabs->tabText(2), L10n::t(QStringLiteral("tab.settings"), AppLanguage::korean));
    EXPECT_NE(tabs->tabText(2), QStringLiteral("Settings"));
    EXPECT_EQ(ui.commands.calls, QStringList());
}

TEST(MainWindow, followsTheUpdaterAndStaysUsableByKeyboard)
{
    UiTestContext ui;
    MainWindow window(ui.context);
    EXPECT_EQ(window.minimumSize(), QSize(640, 560));
    QAction& check = window.checkForUpdatesAction();
    EXPECT_TRUE(check.isEnabled());
    ui.updater.reportCanCheck(false);
    EXPECT_TRUE(check.isEnabled()) << "the flag arrives on the scheduler's next turn";
    ui.scheduler.runDue();
    EXPECT_FALSE(check.isEnabled());
    EXPECT_EQ(check.toolTip(), QStringLiteral("no feed"));
    ui.updater.reportCanCheck(true);
    ui.scheduler.runDue();
    check.trigger();
    EXPECT_EQ(ui.updater.checkRequests, 1);

    window.resize(900, 760);
    window.show();
    EXPECT_EQ(keyboardAccessFaults(window), QStringList());
}

TEST(MainWindow, tellsTheUpdateCheckResultAndOpensTheReleasePageWhenAsked)
{
    UiTestContext ui;
    MainWindow window(ui.context);
    UpdateCheckResult result;
    result.userInitiated = true;
    result.error = QStringLiteral("HTTP 503");
    ui.dialogs.setNextAnswer(QMessageBox::Ok);
    emit ui.updater.checkFinished(result);
    result.outcome = UpdateCheckResult::Outcome::available;
    result.release.version = QStringLiteral("9.0");
    result.release.releasePage = QUrl(QStringLiteral("https://example.org/releases/9.0"));
    result.userInitiated = false;  // found by an automatic check: told all the same
    ui.dialogs.setNextAnswer(QMessageBox::Open);
    emit ui.updater.checkFinished(result);
    ASSERT_EQ(ui.dialogs.askedTexts().size(), 2);
    EXPECT_EQ(ui.dialogs.askedTexts()[0], QStringLiteral("The update check failed: HTTP 503"));
    EXPECT_TRUE(ui.dialogs.askedTexts()[1].startsWith(QStringLiteral("Parlivox 9.0 is available")));
    EXPECT_EQ(ui.workspace.opened, QList<QUrl>{result.release.releasePage});
}

}  // namespace
