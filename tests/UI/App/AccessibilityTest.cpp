// What a screen reader gets from the window: every picker and field with the label that names
// it, every check box, mode segment and picker changed by its actions and the change stored,
// the face with its phase and mood, the resting badge with a name, mode segments that say
// which is chosen, no announcements from views nobody sees, Tab in reading order, and the
// focus taken to the consent card and back.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "UI/Agent/TestSkills.h"
#include "UI/BoundControls.h"
#include "UI/Face/FaceAvatar.h"
#include "UI/Models/IdleMood.h"
#include "UI/Talk/ComposerEdit.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
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

// The controls of a tab that a screen reader switches or picks from: check boxes, the mode
// segments and pickers on screen.
QList<QWidget*> choices(QWidget& tab)
{
    QList<QWidget*> controls;
    for (QWidget* widget : tab.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (widget->isVisible() && ((button && button->isCheckable()) || qobject_cast<QComboBox*>(widget)))
            controls << widget;
    }
    return controls;
}

// Another value the control can take: a switch's other state, a picker's next entry that can
// be chosen.
QString otherValue(QWidget& control)
{
    auto* combo = qobject_cast<QComboBox*>(&control);
    if (!combo)
        return shownValue(control) == QLatin1String("true") ? QStringLiteral("false") : QStringLiteral("true");
    for (int step = 1; step < combo->count(); ++step) {
        const int row = (combo->currentIndex() + step) % combo->count();
        const QModelIndex entry = combo->model()->index(row, 0);
        if ((entry.flags() & Qt::ItemIsEnabled) && combo->itemData(row).isValid())
            return combo->itemData(row).toString();
    }
    return {};
}

// The control's place on its tab, for the test's messages: its name, or its row's.
QString placeOf(AppTab tab, int index, const QWidget& control)
{
    const QString name = control.objectName().isEmpty() ? control.parentWidget()->objectName() : control.objectName();
    return QStringLiteral("%1/%2/%3").arg(int(tab)).arg(index).arg(name);
}

TEST(Accessibility, AScreenReaderChangesEveryCheckBoxModeSegmentAndPickerAndTheChangeIsStored)
{
    UiTestContext ui;
    ui.services.speechLocales = SpeechLocaleCatalog({"ko-KR", "en-US", "ja-JP"});
    ui.synthesizer->installed = {{"ko", "Korean", "ko"}, {"ko+f3", "Korean, female", "ko"}, {"de", "German", "de"}};
    ui.devices.devices = {{"usb-mic", "USB Microphone"}, {"builtin", "Built-in Audio"}};
    addSystemSkills(ui.services.skills);
    // Off, so that switching each on also enables the switch that depends on it.
    ui.updater.checks = false;
    ui.updates.setAutomaticallyChecks(false);
    QMap<QString, QString> shown;  // tab and object name → the value the control shows at the end
    {
        MainWindow window(ui.context);
        activate(window);
        int driven = 0;
        for (const AppTab tab : kTabs) {
            window.content().selectTab(tab);
            QApplication::processEvents();
            for (QWidget* control : choices(currentTab(window))) {
                const QString name = control->objectName();
                SCOPED_TRACE(name.toStdString());
                ASSERT_TRUE(control->isEnabled());
                const QString value = otherValue(*control);
                ASSERT_FALSE(value.isEmpty()) << "nothing else to choose";
                editByScreenReader(*control, value);
                const bool segment = name.startsWith(QLatin1String("modeSegment-"));
                // A segment unchecked by the reader is checked again: one mode is always chosen.
                EXPECT_EQ(shownValue(*control), segment && value == QLatin1String("false") ? "true" : value);
                ++driven;
                if (!segment)
                    continue;
                for (const AppMode mode : allCases<AppMode>()) {
                    auto* other = window.findChild<QAbstractButton*>(QStringLiteral("modeSegment-") + rawValue(mode));
                    EXPECT_EQ(other->isChecked(), mode == ui.settings.appMode()) << rawValue(mode).toStdString();
                }
            }
        }
        EXPECT_EQ(driven, 50) << "five segments, nine pickers and twelve skills, fourteen pickers and switches of "
                                 "the settings, five switches of the diagnostics";
        for (const AppTab tab : kTabs) {
            window.content().selectTab(tab);
            const QList<QWidget*> controls = choices(currentTab(window));
            for (int i = 0; i < controls.size(); ++i)
                shown.insert(placeOf(tab, i, *controls[i]), shownValue(*controls[i]));
        }
    }

    // A window made afresh from what was stored shows every change.
    UiTestContext stored(ui.defaults.filePath());
    stored.services.speechLocales = ui.services.speechLocales;
    stored.synthesizer->installed = ui.synthesizer->installed;
    stored.devices.devices = ui.devices.devices;
    addSystemSkills(stored.services.skills);
    stored.updates.setAutomaticallyChecks(ui.updater.checks);  // kept by the updater, not the settings
    stored.updates.setDownloadsAutomatically(ui.updater.downloads);
    MainWindow again(stored.context);
    activate(again);
    for (const AppTab tab : kTabs) {
        again.content().selectTab(tab);
        QApplication::processEvents();
        const QList<QWidget*> controls = choices(currentTab(again));
        for (int i = 0; i < controls.size(); ++i) {
            const QString place = placeOf(tab, i, *controls[i]);
            SCOPED_TRACE(place.toStdString());
            // The download row's drawing style is the row's own, not a setting.
            if (controls[i]->objectName() != QLatin1String("diceBearStylePicker")) {
                EXPECT_EQ(shownValue(*controls[i]), shown.value(place));
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
