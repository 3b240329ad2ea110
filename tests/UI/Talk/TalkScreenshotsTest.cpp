#include "UI/Screenshots.h"

#include "Backend/AssistantClientError.h"
#include "Common/ImageChecks.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/Talk/TalkTab.h"
#include "UI/UiTestContext.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>

namespace {
using Screenshots::Appearance;
using Phase = ConversationPhase;

// One picture of the talk tab at the window's smallest size: a mode, a phase and what the
// engine shows besides. Every mode and every phase appears at least once.
struct Scenario {
    const char* name;
    AppMode mode;
    Phase phase;
    std::function<void(UiTestContext&)> state;
};

const QSize smallest(800, 660);  // the window's 800×720 less its menu and tab bars

void camera(UiTestContext& ui)
{
    ui.settings.setCameraGazeEnabled(true);
    ui.engine.setCameraActive(true);
    ui.engine.setGazeStatus(GazeStatus::lookingAtScreen);
}

const Scenario scenarios[] = {
    {"talk-conversation-idle", AppMode::conversation, Phase::idle, [](UiTestContext&) {}},
    {"talk-conversation-listening", AppMode::conversation, Phase::listening,
     [](UiTestContext& ui) {
         ui.engine.setEnabled(true);
         ui.engine.setLastTurns(TalkScenes::turns(4));
         ui.engine.setLiveTranscript(QStringLiteral("Remind me to call <b>Mina</b> about the slides"));
         ui.micLevel.setLevel(0.5);
         camera(ui);
     }},
    {"talk-brainstorm-thinking-confirmation", AppMode::brainstorm, Phase::thinking,
     [](UiTestContext& ui) {
         ui.engine.setEnabled(true);
         ui.engine.setLastTurns(TalkScenes::turns(3));
         ui.engine.setAssistantMessage(QStringLiteral("Let me put that in your calendar…"));
         ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("calendar.create_event"),
                                                      QStringLiteral("Create “Design review” tomorrow 15:00–16:00"),
                                                      {}));
     }},
    {"talk-counseling-speaking-error-resting", AppMode::counseling, Phase::speaking,
     [](UiTestContext& ui) {
         ui.engine.setEnabled(true);
         ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(3599));
         ui.engine.setLastTurns(TalkScenes::turns(2));
         ui.engine.setErrorMessage(
             AssistantClientError::requestFailed(QStringLiteral("<html>Service Unavailable</html>")).description());
         camera(ui);
         ui.engine.setGazeStatus(GazeStatus::lookingAway);
     }},
    {"talk-translate-interrupted", AppMode::translate, Phase::interrupted,
     [](UiTestContext& ui) {
         ui.engine.setEnabled(true);
         ui.engine.setLastTurns(TalkScenes::turns(1));
         ui.settings.setCameraGazeEnabled(true);
     }},
    {"talk-minutes-error", AppMode::minutes, Phase::error,
     [](UiTestContext& ui) {
         ui.engine.setEnabled(true);
         TalkScenes::fillMinutes(ui);
         ui.engine.setPendingSkill(
             PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail the minutes to the team"), {}));
         ui.engine.setErrorMessage(QStringLiteral("Speech recognition stopped: the microphone went away."));
     }},
};

TEST(TalkScreenshots, everyModeAndPhaseInEachLanguageAndAppearance)
{
    for (const Scenario& scenario : scenarios) {
        for (const AppLanguage language : {AppLanguage::english, AppLanguage::korean, AppLanguage::german}) {
            for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
                const QString name = QLatin1String(scenario.name) + Screenshots::suffix(language, appearance);
                SCOPED_TRACE(name.toStdString());
                Screenshots::prepare(appearance);
                UiTestContext ui;
                ui.settings.setUiLanguage(language);
                ui.settings.setAppMode(scenario.mode);
                ui.settings.setAssistantName(QStringLiteral("Parla"));
                ui.engine.setPhase(scenario.phase);
                scenario.state(ui);
                TalkTab tab(ui.context, TalkScenes::skills());
                ui.theme.paint(tab);
                tab.setAutoFillBackground(true);
                tab.resize(smallest);
                tab.show();
                if (ui.commands.cameraPreview)
                    ui.commands.cameraPreview->push(TalkScenes::portrait());
                QApplication::processEvents();
                const QImage image = Screenshots::take(tab, smallest, name);
                EXPECT_EQ(image.size(), smallest);
                EXPECT_FALSE(isBlank(image));
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
