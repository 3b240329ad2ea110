// The tiles' and header's controls: each calls the right command or flips the right setting
// (their keys are the window's, WindowShortcutsTest), and shows the state it is in. The face keeps one set of timers
// however often it is shown, and none while hidden.
#include "UI/Talk/TalkTab.h"

#include "Common/QtPrinters.h"
#include "UI/Face/FaceAvatar.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/Talk/AssistantTile.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono_literals;

namespace {
using Phase = ConversationPhase;

struct Press {
    const char* name;
    std::function<void(UiTestContext&)> state;
    const char* button;
    QStringList commands;
    bool gazeAfter = false;
};

void activate(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}
}  // namespace

TEST(TalkControls, EachButtonCallsItsCommand)
{
    const auto clockedIn = [](UiTestContext& ui) { ui.engine.setEnabled(true); };
    const auto resting = [](UiTestContext& ui) {
        ui.engine.setEnabled(true);
        ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(60));
    };
    const auto phase = [](Phase p) { return [p](UiTestContext& ui) { ui.engine.setPhase(p); }; };
    const auto none = [](UiTestContext&) {};
    const Press presses[] = {
        {"clock in", none, "clockInButton", {QStringLiteral("setEnabled(true)")}},
        {"clock in wakes from a rest", resting, "clockInButton", {QStringLiteral("wakeFromRest(button)")}},
        {"rest", clockedIn, "restButton", {QStringLiteral("restNow()")}},
        {"rest is off while clocked out", none, "restButton", {}},
        {"clock out", clockedIn, "clockOutButton", {QStringLiteral("setEnabled(false)")}},
        {"fire while listening", phase(Phase::listening), "fireButton", {QStringLiteral("fireNow()")}},
        {"stop speech while speaking", phase(Phase::speaking), "stopSpeechButton", {QStringLiteral("stopSpeaking()")}},
        {"camera on", none, "cameraButton", {}, true},
        {"camera off", [](UiTestContext& ui) { ui.settings.setCameraGazeEnabled(true); }, "cameraButton", {}, false},
        {"clear history",
         [](UiTestContext& ui) { ui.engine.setLastTurns(TalkScenes::turns(1)); },
         "clearHistoryButton",
         {QStringLiteral("clearHistory()")}},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.name);
        UiTestContext ui;
        press.state(ui);
        TalkTab tab(ui.context, TalkScenes::skills());
        activate(tab);
        auto* button = tab.findChild<QAbstractButton*>(QLatin1String(press.button));
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(ui.commands.calls, press.commands);
        EXPECT_EQ(ui.settings.cameraGazeEnabled(), press.gazeAfter);
    }
}

TEST(TalkControls, ModeSegmentsWriteOnlyANewMode)
{
    UiTestContext ui;
    TalkTab tab(ui.context, TalkScenes::skills());
    tab.show();
    int writes = 0;
    QObject::connect(&ui.settings, &AppSettings::appModeChanged, [&] { ++writes; });
    QTest::mouseClick(tab.findChild<PillButton*>(QStringLiteral("modeSegment-conversation")), Qt::LeftButton);
    EXPECT_EQ(writes, 0);
    QTest::mouseClick(tab.findChild<PillButton*>(QStringLiteral("modeSegment-translate")), Qt::LeftButton);
    EXPECT_EQ(ui.settings.appMode(), AppMode::translate);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(
        tab.findChild<QWidget*>(QStringLiteral("modeSegment-translate"))->toolTip(),
        QStringLiteral("Translate\nReal-time interpreter: you speak one language and Parlivox answers in another. "
                       "Choose both languages in Settings."));
    EXPECT_EQ(tab.findChild<QWidget*>(QStringLiteral("modeStageBadge"))->accessibleName(),
              QStringLiteral("Beta feature"));
}

TEST(TalkControls, ShowWhatTheEngineAndSettingsSay)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    TalkTab tab(ui.context, TalkScenes::skills());
    tab.show();
    const auto label = [&](const char* name) { return tab.findChild<QLabel*>(QLatin1String(name))->text(); };
    const auto pill = [&](const char* name) { return tab.findChild<PillButton*>(QLatin1String(name)); };
    auto* pictures = tab.findChild<QStackedWidget*>();

    ui.engine.setPhase(Phase::listening);
    EXPECT_EQ(label("phaseLabel"), QStringLiteral("Listening"));
    EXPECT_TRUE(pill("fireButton")->isEnabled());
    EXPECT_FALSE(pill("stopSpeechButton")->isEnabled());
    ui.settings.setAssistantName(QStringLiteral(" \tParla "));
    EXPECT_EQ(tab.findChild<ElidedLabel*>(QStringLiteral("assistantName"))->text(), QStringLiteral("Parla"));

    ui.engine.setEnabled(true);
    ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(90));
    EXPECT_EQ(label("phaseLabel"), QStringLiteral("Resting"));
    EXPECT_FALSE(pill("restButton")->isVisible());
    EXPECT_EQ(pill("restingIndicator")->look().hint, QStringLiteral("0:01:30"));
    ui.scheduler.advance(1s);
    EXPECT_EQ(pill("restingIndicator")->look().hint, QStringLiteral("0:01:29"));
    ui.settings.setRestingUntil(std::nullopt);
    EXPECT_TRUE(pill("restButton")->isVisible());
    EXPECT_EQ(pill("clockOutButton")->look().hint, QStringLiteral("Ctrl+↵"));

    EXPECT_EQ(pictures->currentWidget()->objectName(), QStringLiteral("cameraPlaceholder"));
    ui.settings.setCameraGazeEnabled(true);
    EXPECT_EQ(tab.findChild<QLabel*>(QStringLiteral("cameraPlaceholderCaption"))->text(),
              QStringLiteral("Activates while you speak"));
    ui.engine.setCameraActive(true);
    EXPECT_EQ(pictures->currentWidget()->objectName(), QStringLiteral("cameraPreviewCard"));
    EXPECT_EQ(pill("cameraButton")->look().caption, QStringLiteral("Camera on"));
    ui.engine.setCameraActive(false);
    EXPECT_EQ(pictures->currentWidget()->objectName(), QStringLiteral("cameraPlaceholder"));
}

TEST(TalkControls, TheFaceKeepsOnePairOfTimersAndNoneWhileHidden)
{
    UiTestContext ui;
    ui.engine.setPhase(Phase::speaking);
    AssistantTile tile(ui.context);
    const FaceAvatar& face = *tile.findChild<FaceAvatar*>();
    ui.scheduler.runDue();  // what the context itself had due (the update manager's first report)
    const std::size_t others = ui.scheduler.pendingCount();
    for (int round = 0; round < 4; ++round) {
        tile.show();
        tile.show();
        // Blink and talking cycle, and the bob's repaint tick.
        EXPECT_EQ(ui.scheduler.pendingCount(), others + 3) << round;
        EXPECT_TRUE(face.animation().isRunning());
        ui.scheduler.advance(250ms);
        EXPECT_EQ(ui.scheduler.pendingCount(), others + 3) << round;
        tile.hide();
        EXPECT_EQ(ui.scheduler.pendingCount(), others) << round;
        EXPECT_FALSE(face.animation().isRunning());
        ui.scheduler.advance(10s);
    }
    // Idle: the moods change only while shown.
    ui.engine.setPhase(Phase::idle);
    EXPECT_EQ(ui.scheduler.pendingCount(), others);
    tile.show();
    EXPECT_GT(ui.scheduler.pendingCount(), others);
    tile.hide();
    EXPECT_EQ(ui.scheduler.pendingCount(), others);
}
