#include "UI/Screenshots.h"

#include "Common/ImageChecks.h"
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
using Screenshots::Appearance;

// One picture: a view in a state. Rows build their widget from the test context, after
// setting whatever state they show; the clock stays frozen.
struct Scenario {
    const char* name;
    QSize size;
    std::function<std::unique_ptr<QWidget>(UiTestContext&)> build;
};

std::unique_ptr<QWidget> windowOnTab(UiTestContext& ui, AppTab tab)
{
    auto window = std::make_unique<MainWindow>(ui.context);
    window->content().selectTab(tab);
    return window;
}

std::unique_ptr<QWidget> busyTalk(UiTestContext& ui)
{
    TalkScenes::busy(ui);
    return windowOnTab(ui, AppTab::talk);
}

// The minutes as a meeting goes: a recording, two speakers (one enrolled), four lines.
std::unique_ptr<QWidget> minutes(UiTestContext& ui)
{
    ui.settings.setAppMode(AppMode::minutes);
    TalkScenes::fillMinutes(ui);
    return windowOnTab(ui, AppTab::talk);
}

const Scenario kScenarios[] = {
    {"window-talk", {900, 760}, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::talk); }},
    {"window-agent", {900, 760}, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::agent); }},
    {"window-settings", {900, 760}, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::settings); }},
    {"window-diagnostics", {900, 760}, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::diagnostics); }},
    // The smallest window, on a laptop screen at twice the scale.
    {"small-talk", MainWindow::kMinimumSize, busyTalk},
    {"small-agent", MainWindow::kMinimumSize, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::agent); }},
    {"small-settings", MainWindow::kMinimumSize, [](UiTestContext& ui) { return windowOnTab(ui, AppTab::settings); }},
    {"small-diagnostics", MainWindow::kMinimumSize,
     [](UiTestContext& ui) { return windowOnTab(ui, AppTab::diagnostics); }},
    {"small-minutes", MainWindow::kMinimumSize, minutes},
};

TEST(Screenshots, everyScenarioInFourLanguagesAndBothAppearances)
{
    for (const Scenario& scenario : kScenarios) {
        for (const AppLanguage language :
             {AppLanguage::english, AppLanguage::korean, AppLanguage::german, AppLanguage::french}) {
            for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
                const QString name = QLatin1String(scenario.name) + Screenshots::suffix(language, appearance);
                SCOPED_TRACE(name.toStdString());
                Screenshots::prepare(appearance);
                UiTestContext ui;
                ui.settings.setUiLanguage(language);
                const std::unique_ptr<QWidget> view = scenario.build(ui);
                const QImage image = Screenshots::take(*view, scenario.size, name);
                EXPECT_EQ(image.size(), scenario.size);
                EXPECT_FALSE(isBlank(image));
                EXPECT_EQ(ui.theme.isDark(), appearance == Appearance::dark);
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
