// The talk controls' keys belong to the window: each works from every tab, with the focus
// anywhere in it, and does one thing to the engine's state as it is at that moment.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {
using Phase = ConversationPhase;

struct Key {
    const char* name;
    std::function<void(UiTestContext&)> state;
    QKeyCombination key;
    QStringList calls;
    bool gazeAfter = false;
};

void activate(QWidget& window)
{
    window.resize(MainWindow::kMinimumSize);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The first control of the tab that takes the keyboard, as a user who clicked into it would have.
QWidget* focusInto(QWidget& tab)
{
    for (QWidget* widget : tab.findChildren<QWidget*>())
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(Qt::MouseFocusReason);
            return widget;
        }
    tab.setFocus();
    return &tab;
}

TEST(WindowShortcuts, EachKeyWorksFromEveryTab)
{
    const auto phase = [](Phase p) {
        return [p](UiTestContext& ui) {
            ui.engine.setEnabled(true);
            ui.engine.setPhase(p);
        };
    };
    const Key keys[] = {
        {"Ctrl+Return clocks in", [](UiTestContext&) {}, Qt::CTRL | Qt::Key_Return, {"setEnabled(true)"}},
        {"Ctrl+Enter clocks out", phase(Phase::listening), Qt::CTRL | Qt::Key_Enter, {"setEnabled(false)"}},
        {"Ctrl+Return wakes from a rest",
         [](UiTestContext& ui) {
             ui.engine.setEnabled(true);
             ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(60));
         },
         Qt::CTRL | Qt::Key_Return,
         {"wakeFromRest(button)"}},
        {"Ctrl+F fires while idle", [](UiTestContext&) {}, Qt::CTRL | Qt::Key_F, {"fireNow()"}},
        {"Ctrl+F fires while listening", phase(Phase::listening), Qt::CTRL | Qt::Key_F, {"fireNow()"}},
        {"Ctrl+F does nothing while thinking", phase(Phase::thinking), Qt::CTRL | Qt::Key_F, {}},
        {"Ctrl+. stops the speech", phase(Phase::speaking), Qt::CTRL | Qt::Key_Period, {"stopSpeaking()"}},
        {"Ctrl+. does nothing while listening", phase(Phase::listening), Qt::CTRL | Qt::Key_Period, {}},
        {"Ctrl+K switches camera gaze on", phase(Phase::speaking), Qt::CTRL | Qt::Key_K, {"setCameraGaze(true)"}, true},
        {"Ctrl+K switches camera gaze off",
         [](UiTestContext& ui) { ui.settings.setCameraGazeEnabled(true); },
         Qt::CTRL | Qt::Key_K,
         {"setCameraGaze(false)"},
         false},
    };
    for (const AppTab tab : {AppTab::talk, AppTab::agent, AppTab::settings, AppTab::diagnostics}) {
        for (const Key& key : keys) {
            SCOPED_TRACE(std::string(key.name) + " on tab " + std::to_string(int(tab)));
            UiTestContext ui;
            key.state(ui);
            MainWindow window(ui.context);
            window.content().selectTab(tab);
            activate(window);
            QWidget* focused = focusInto(window.content().currentPage());
            QTest::keyClick(focused, key.key.key(), key.key.keyboardModifiers());
            EXPECT_EQ(ui.commands.calls, key.calls) << focused->metaObject()->className();
            EXPECT_EQ(ui.settings.cameraGazeEnabled(), key.gazeAfter);
        }
    }
}

// The engine changes its state as soon as it is told to clock in; the key must not then see a
// clocked-in state and clock out again.
TEST(WindowShortcuts, CtrlReturnOnceIsExactlyOneClockIn)
{
    UiTestContext ui;
    ui.commands.actsOn = &ui.engine;
    MainWindow window(ui.context);
    activate(window);
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ui.commands.calls, QStringList{"setEnabled(true)"});
    EXPECT_TRUE(ui.engine.isEnabled());
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ui.commands.calls, (QStringList{"setEnabled(true)", "setEnabled(false)"}));
    EXPECT_FALSE(ui.engine.isEnabled());
}

}  // namespace
