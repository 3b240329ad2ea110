// What a screen reader gets from the window: every picker and field with the label that names
// it, the face with its phase and mood, the resting badge with a name, mode segments that say
// which is chosen, no announcements from views nobody sees, Tab in reading order, and the
// focus taken to the consent card and back.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "UI/Face/FaceAvatar.h"
#include "UI/Models/IdleMood.h"
#include "UI/Talk/ComposerEdit.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {
const AppTab kTabs[] = {AppTab::talk, AppTab::agent, AppTab::settings, AppTab::diagnostics};

void activate(QWidget& window, const QSize& size = MainWindow::kMinimumSize)
{
    window.resize(size);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QWidget& currentTab(MainWindow& window)
{
    return window.content().currentPage();
}

QString describe(const QWidget& widget)
{
    return QString::fromLatin1(widget.metaObject()->className()) + QLatin1Char(' ') + widget.objectName();
}

TEST(Accessibility, EveryPickerAndFieldOfTheFourTabsIsLabelledByItsLabel)
{
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::korean}) {
        UiTestContext ui;
        ui.settings.setUiLanguage(language);
        MainWindow window(ui.context);
        activate(window);
        for (const AppTab tab : kTabs) {
            window.content().selectTab(tab);
            QList<QWidget*> controls;
            for (QComboBox* picker : currentTab(window).findChildren<QComboBox*>())
                controls << picker;
            for (QLineEdit* field : currentTab(window).findChildren<QLineEdit*>())
                controls << field;
            for (QPlainTextEdit* box : currentTab(window).findChildren<QPlainTextEdit*>())
                controls << box;
            for (QWidget* control : controls) {
                SCOPED_TRACE(describe(*control).toStdString());
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
                ASSERT_TRUE(accessible);
                const auto labels = accessible->relations(QAccessible::Label);
                ASSERT_FALSE(labels.isEmpty()) << "no labelled-by relation";
                EXPECT_FALSE(labels.first().first->text(QAccessible::Name).trimmed().isEmpty());
            }
            if (tab == AppTab::settings) {
                EXPECT_GE(controls.size(), 10) << "the settings' pickers and fields were all seen";
            }
        }
    }
}

TEST(Accessibility, TheTalkTabSaysWhatItShowsAndWhichModeIsChosen)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    ui.settings.setAppMode(AppMode::brainstorm);
    MainWindow window(ui.context);
    activate(window);
    const auto accessible = [&window](const char* name) {
        return QAccessible::queryAccessibleInterface(window.findChild<QWidget*>(QLatin1String(name)));
    };

    const FaceAvatar& face = *window.findChild<FaceAvatar*>();
    EXPECT_EQ(face.accessibleName(), QStringLiteral("Idle"));
    EXPECT_FALSE(face.accessibleDescription().isEmpty()) << "the mood the idle face shows";
    ui.engine.setPhase(ConversationPhase::speaking);
    EXPECT_EQ(face.accessibleName(), QStringLiteral("Speaking"));
    EXPECT_EQ(face.accessibleDescription(), QString()) << "no mood while speaking";

    ui.engine.setEnabled(true);
    ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(600));
    EXPECT_EQ(accessible("restingIndicator")->text(QAccessible::Name), QStringLiteral("Resting"));
    EXPECT_EQ(face.accessibleName(), QStringLiteral("Resting"));

    for (const AppMode mode : allCases<AppMode>()) {
        SCOPED_TRACE(rawValue(mode).toStdString());
        QAccessibleInterface* segment = accessible(qPrintable(QStringLiteral("modeSegment-") + rawValue(mode)));
        EXPECT_TRUE(segment->state().checkable);
        EXPECT_EQ(bool(segment->state().checked), mode == AppMode::brainstorm);
    }
}

// Every accessibility event of the run, while a test listens.
QList<std::pair<QObject*, QAccessible::Event>> g_events;

void keep(QAccessibleEvent* event)
{
    g_events.append({event->object(), event->type()});
}

TEST(Accessibility, AViewNobodySeesAnnouncesNothingAndTheTimelineNoLine)
{
    QAccessible::setActive(true);
    const QAccessible::UpdateHandler before = QAccessible::installUpdateHandler(keep);
    UiTestContext ui;
    MainWindow window(ui.context);
    activate(window);
    // Built once chosen, then hidden behind the talk tab.
    window.content().selectTab(AppTab::diagnostics);
    window.content().selectTab(AppTab::talk);
    QApplication::processEvents();
    QWidget& diagnostics = *window.findChild<QWidget*>(QStringLiteral("diagnosticsTab"));
    const auto namesChangedIn = [&diagnostics] {
        QStringList changed;
        for (const auto& [object, type] : std::as_const(g_events))
            if (type == QAccessible::NameChanged && object && object->isWidgetType() &&
                (object == &diagnostics || diagnostics.isAncestorOf(static_cast<QWidget*>(object))))
                changed << object->objectName();
        return changed;
    };
    const auto record = [&ui](int count) {
        for (int i = 0; i < count; ++i)
            ui.log.record(QStringLiteral("stt"), QStringLiteral("partial %1").arg(i));
        QApplication::processEvents();
    };

    g_events.clear();
    record(5);
    EXPECT_EQ(namesChangedIn(), QStringList()) << "hidden";
    window.content().selectTab(AppTab::diagnostics);
    QApplication::processEvents();
    g_events.clear();
    record(5);
    EXPECT_EQ(namesChangedIn(), QStringList()) << "shown: the count changes without an announcement";
    QAccessible::installUpdateHandler(before);
    QAccessible::setActive(false);
}

// Reading order: the next control is not above this one, and one on the same line is to its right.
QString outOfOrder(const QWidget& column, QWidget& from, QWidget& to)
{
    const QRect a(from.mapTo(&column, QPoint()), from.size());
    const QRect b(to.mapTo(&column, QPoint()), to.size());
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    const bool sameLine = overlap > std::min(a.height(), b.height()) / 2;
    if (b.bottom() <= a.top() || (sameLine && b.center().x() < a.center().x()))
        return describe(from) + QStringLiteral(" → ") + describe(to);
    return {};
}

TEST(Accessibility, TabFollowsTheScreenTopToBottomLeftToRight)
{
    UiTestContext ui;
    ui.engine.setEnabled(true);
    ui.engine.setLastTurns(TalkScenes::turns(3));
    ui.engine.setErrorMessage(QStringLiteral("The assistant did not answer."));
    MainWindow window(ui.context);
    activate(window, QSize(900, 900));
    for (const AppTab tab : kTabs) {
        SCOPED_TRACE(int(tab));
        window.content().selectTab(tab);
        QApplication::processEvents();
        auto& page = static_cast<QScrollArea&>(currentTab(window));
        const QWidget& column = *page.widget();
        QWidget* first = nullptr;
        for (QWidget* widget : column.findChildren<QWidget*>())
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
                first = widget;
                break;
            }
        ASSERT_TRUE(first);
        first->setFocus(Qt::TabFocusReason);
        // From the top of the page.
        while (true) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QWidget* previous = QApplication::focusWidget();
            if (!column.isAncestorOf(previous))
                break;
            first = previous;
        }
        first->setFocus(Qt::TabFocusReason);
        QStringList faults;
        int steps = 0;
        for (QWidget* at = first; steps < 200; ++steps) {
            QTest::keyClick(at, Qt::Key_Tab);
            QWidget* next = QApplication::focusWidget();
            if (!column.isAncestorOf(next))
                break;
            const QString fault = outOfOrder(column, *at, *next);
            if (!fault.isEmpty())
                faults << fault;
            at = next;
        }
        EXPECT_GT(steps, 2);

        EXPECT_EQ(faults, QStringList());
    }
}

TEST(Accessibility, TheConsentCardTakesTheFocusAndGivesItBack)
{
    UiTestContext ui;
    ui.engine.setEnabled(true);
    MainWindow window(ui.context);
    activate(window);
    auto* composer = window.findChild<ComposerEdit*>();
    composer->setFocus(Qt::MouseFocusReason);
    ui.engine.setPendingSkill(
        PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail the notes to Mina"), {}));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("skillCancelButton"));
    ui.engine.setPendingSkill(std::nullopt);
    EXPECT_EQ(QApplication::focusWidget(), composer);
}

}  // namespace
