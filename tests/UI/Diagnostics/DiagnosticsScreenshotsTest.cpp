#include "Audio/AudioDeviceManager.h"
#include "Common/FakeDeviceSource.h"
#include "Common/ImageChecks.h"
#include "UI/Diagnostics/DiagnosticsTab.h"
#include "UI/Diagnostics/ScriptedTurn.h"
#include "UI/Screenshots.h"
#include "UI/UiTestContext.h"

#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
using Screenshots::Appearance;

// The tab after one spoken turn, in the middle of listening again.
void afterOneTurn(UiTestContext& ui, AppLanguage language)
{
    const bool korean = language == AppLanguage::korean;
    recordScriptedTurn(ui.log, ui.scheduler,
                       korean ? QStringLiteral("오늘 일정 알려줘") : QStringLiteral("What's on my calendar today?"),
                       korean ? QStringLiteral("오늘은 오후 3시에 팀 회의가 있고, 6시에 저녁 약속이 있어요.")
                              : QStringLiteral("You have a team meeting at 3 pm and dinner plans at 6 pm."));
    ui.engine.setPhase(ConversationPhase::listening);
    ui.engine.setHeadPose({0.1234, -0.5, 0});
    ui.engine.setGazeStatus(GazeStatus::lookingAtScreen);
    ui.engine.setFaceProcessingMs(14.2);
    ui.engine.setLastFireReason(QStringLiteral("predicted silence 820ms"));
    ui.engine.setLastFireAt(ui.scheduler.wallNow().addMSecs(-5770));
    ui.micLevel.setLevel(0.21);
}

struct Scenario {
    const char* name;
    QSize size;
    std::function<void(UiTestContext&, DiagnosticsTab&)> arrange;
};

const Scenario scenarios[] = {
    // What the tab shows first, at the window's smallest size.
    {"diagnostics-top", {800, 680}, [](UiTestContext&, DiagnosticsTab&) {}},
    // The whole column, the raw log opened.
    {"diagnostics-all",
     {800, 1450},
     [](UiTestContext&, DiagnosticsTab& tab) { tab.findChild<QPushButton*>(QStringLiteral("rawLogButton"))->click(); }},
    // Logging off: a notice in place of the timeline.
    {"diagnostics-logging-off",
     {800, 680},
     [](UiTestContext& ui, DiagnosticsTab& tab) {
         ui.settings.setDiagnosticsLoggingEnabled(false);
         tab.verticalScrollBar()->setValue(tab.verticalScrollBar()->maximum());
     }},
};

TEST(DiagnosticsScreenshots, everyScenarioInBothLanguagesAndAppearances)
{
    for (const Scenario& scenario : scenarios) {
        for (const AppLanguage language : {AppLanguage::english, AppLanguage::korean}) {
            for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
                const QString name = QLatin1String(scenario.name) + Screenshots::suffix(language, appearance);
                SCOPED_TRACE(name.toStdString());
                Screenshots::prepare(appearance);
                UiTestContext ui;
                ui.devices.defaultDevice = AudioDeviceSource::Device{
                    QStringLiteral("alsa_input.usb-mic"), QStringLiteral("Blue Yeti Stereo Microphone Analog Stereo")};
                ui.devices.outputName = QStringLiteral("Built-in Audio Analog Stereo");
                ui.settings.setUiLanguage(language);
                afterOneTurn(ui, language);
                DiagnosticsTab tab(ui.context);
                ui.theme.paint(tab);
                tab.resize(scenario.size);
                tab.show();
                scenario.arrange(ui, tab);
                ui.scheduler.runDue();
                const QImage image = Screenshots::take(tab, scenario.size, name);
                EXPECT_EQ(image.size(), scenario.size);
                EXPECT_FALSE(isBlank(image));
                EXPECT_FALSE(tab.horizontalScrollBar()->isVisible()) << "the column fits the window's width";
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
