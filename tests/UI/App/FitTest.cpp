// Every tab fits the window in every language, at its smallest and at its opening size: no
// caption shows cut without its whole text on hover and as its accessible name, no pill button
// cuts its caption at all (it has a short form or room enough), no widget lies outside its
// parent, no two parts of a layout overlap, and a page larger than its window scrolls.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/TestEnvironment.h"
#include "UI/Diagnostics/ScriptedTurn.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/Screenshots.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QTabBar>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

QString describe(const QWidget& widget)
{
    QString path;
    for (const QWidget* w = &widget; w && !w->isWindow(); w = w->parentWidget()) {
        const QString name =
            w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        if (!name.startsWith(QLatin1String("qt_")))
            path = path.isEmpty() ? name : name + QLatin1Char('/') + path;
    }
    return path;
}

// Widgets scrolled inside a viewport may be larger than it.
bool scrolled(const QWidget& widget)
{
    const QWidget* parent = widget.parentWidget();
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
    return area && area->viewport() == parent;
}

// The text a widget shows, and whether all of it shows.
struct Caption {
    QString text;
    bool whole = true;
};

std::optional<Caption> captionOf(const QWidget& widget)
{
    constexpr int slack = 1;  // sizes rounded from fractional text widths
    if (const auto* pill = qobject_cast<const PillButton*>(&widget)) {
        if (pill->look().caption.isEmpty())
            return std::nullopt;
        return Caption{pill->look().caption, pill->shown() == PillButton::Shown::whole};
    }
    if (const auto* elided = qobject_cast<const ElidedLabel*>(&widget))
        return Caption{elided->text(), elided->shownText() == elided->text()};
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->text().isEmpty())
            return std::nullopt;
        if (label->wordWrap())
            return Caption{label->text(), label->height() + slack >= label->heightForWidth(label->width())};
        const QSize hint = label->sizeHint();
        return Caption{label->text(),
                       label->width() + slack >= hint.width() && label->height() + slack >= hint.height()};
    }
    if (const auto* box = qobject_cast<const QComboBox*>(&widget)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        const int icon = box->itemIcon(box->currentIndex()).isNull() ? 0 : box->iconSize().width() + 4;
        return Caption{box->currentText(),
                       box->fontMetrics().horizontalAdvance(box->currentText()) + icon <= field.width() + slack};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        if (button->text().isEmpty())
            return std::nullopt;
        const QSize hint = button->sizeHint();
        return Caption{button->text(),
                       button->width() + slack >= hint.width() && button->height() + slack >= hint.height()};
    }
    return std::nullopt;
}

void managedBy(const QLayout& layout, QList<QWidget*>& into)
{
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (QWidget* widget = item->widget())
            into << widget;
        else if (const QLayout* inner = item->layout())
            managedBy(*inner, into);
    }
}

QStringList faultsOf(const QWidget& widget)
{
    QStringList faults;
    const QWidget& parent = *widget.parentWidget();
    if (!scrolled(widget) && !parent.rect().contains(widget.geometry()))
        faults << QStringLiteral("%1 lies outside its parent (%2,%3 %4×%5 in %6×%7)")
                      .arg(describe(widget))
                      .arg(widget.x())
                      .arg(widget.y())
                      .arg(widget.width())
                      .arg(widget.height())
                      .arg(parent.width())
                      .arg(parent.height());

    if (const auto* pill = qobject_cast<const PillButton*>(&widget); pill && pill->shown() == PillButton::Shown::cut)
        faults << describe(widget) + QStringLiteral(" cuts \"%1\"").arg(pill->look().caption);
    if (const std::optional<Caption> caption = captionOf(widget); caption && !caption->whole) {
        if (!widget.toolTip().contains(caption->text))
            faults << describe(widget) + QStringLiteral(" cuts \"%1\" with no tooltip").arg(caption->text);
        // A picker's name is its label's; its value is read out as its value.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(&widget));
        if (!qobject_cast<const QComboBox*>(&widget) && !accessible->text(QAccessible::Name).contains(caption->text))
            faults << describe(widget) + QStringLiteral(" cuts \"%1\", and is named otherwise").arg(caption->text);
    }

    if (const auto* area = qobject_cast<const QScrollArea*>(&widget); area && area->widget()) {
        const QSize content = area->widget()->size();
        const QSize room = area->viewport()->size();
        if (content.width() > room.width() && !area->horizontalScrollBar()->isVisible())
            faults << describe(widget) +
                          QStringLiteral(" cuts its right side (%1 wide in %2)").arg(content.width()).arg(room.width());
        if (content.height() > room.height() && !area->verticalScrollBar()->isVisible())
            faults << describe(widget) +
                          QStringLiteral(" cuts its bottom (%1 high in %2)").arg(content.height()).arg(room.height());
    }

    if (const QLayout* layout = widget.layout()) {
        QList<QWidget*> parts;
        managedBy(*layout, parts);
        parts.removeIf([](const QWidget* part) { return !part->isVisible(); });
        for (qsizetype i = 0; i < parts.size(); ++i)
            for (qsizetype j = i + 1; j < parts.size(); ++j)
                if (parts[i]->geometry().intersects(parts[j]->geometry()))
                    faults << describe(*parts[i]) + QStringLiteral(" overlaps ") + describe(*parts[j]);
    }
    return faults;
}

QStringList faultsIn(const QWidget& window)
{
    QStringList faults;
    for (const QWidget* widget : window.findChildren<QWidget*>())
        if (widget->isVisible() && !widget->isWindow())
            faults << faultsOf(*widget);
    // A tab bar narrower than it asks for squeezes its tabs' texts.
    const QTabBar& bar = *window.findChild<QTabBar*>();
    if (bar.width() < bar.sizeHint().width())
        faults << QStringLiteral("the tabs are squeezed");
    return faults;
}

void resting(UiTestContext& ui)
{
    ui.engine.setPendingSkill(std::nullopt);
    ui.engine.setErrorMessage(std::nullopt);
    ui.settings.setRestingUntil(ui.scheduler.wallNow().addSecs(3599));
    ui.settings.setAssistantName(QStringLiteral("Alexandrina Featherstonehaugh, the Patient Planner of Meetings"));
}

// Minutes with a speaker renamed to a long name.
void minutes(UiTestContext& ui)
{
    ui.settings.setRestingUntil(std::nullopt);
    ui.settings.setAppMode(AppMode::minutes);
    TalkScenes::fillMinutes(ui);
    ui.minutes.appendEntry(MinutesEntry::make(ui.scheduler.wallNow(), 3,
                                              QStringLiteral("Dr. Alexandrina Featherstonehaugh-Montgomery"),
                                              QStringLiteral("Let us move the review to Thursday.")));
}

// Diagnostics after a turn, a long fire reason, a report written and the raw log open.
void diagnosing(UiTestContext& ui, MainWindow& window)
{
    recordScriptedTurn(ui.log, ui.scheduler, QStringLiteral("What's on my calendar today?"),
                       QStringLiteral("You have a team meeting at 3 pm and dinner plans at 6 pm."));
    ui.engine.setLastFireReason(QStringLiteral("look-away (primary, debounced) after 1840 ms of silence"));
    ui.devices.outputName = QStringLiteral("Built-in Audio Analog Stereo (HDA Intel PCH, ALC3246 Analog)");
    window.findChild<QPushButton*>(QStringLiteral("sendReportButton"))->click();
    window.findChild<QPushButton*>(QStringLiteral("rawLogButton"))->click();
}

struct View {
    const char* name;
    AppTab tab;
    std::function<void(UiTestContext&, MainWindow&)> arrange;
};

const View kViews[] = {
    {"talk", AppTab::talk, [](UiTestContext&, MainWindow&) {}},
    {"talk-busy", AppTab::talk, [](UiTestContext& ui, MainWindow&) { TalkScenes::busy(ui); }},
    {"talk-resting", AppTab::talk, [](UiTestContext& ui, MainWindow&) { resting(ui); }},
    {"talk-minutes", AppTab::talk, [](UiTestContext& ui, MainWindow&) { minutes(ui); }},
    {"agent", AppTab::agent, [](UiTestContext&, MainWindow&) {}},
    {"settings", AppTab::settings, [](UiTestContext&, MainWindow&) {}},
    {"diagnostics", AppTab::diagnostics, diagnosing},
};

// One window per language, each view shown at both sizes: with PARLIVOX_SCREENS set, its
// pictures are kept as "fit-<view>-<language>-<width>.png".
TEST(Fit, EveryTabFitsInEveryLanguageSmallAndAtItsOpeningSize)
{
    const ScopedDataRoot root;  // the report file
    const bool keepPictures = qEnvironmentVariableIsSet("PARLIVOX_SCREENS");
    Screenshots::prepare(Screenshots::Appearance::light);
    for (const AppLanguage language : allCases<AppLanguage>()) {
        UiTestContext ui;
        ui.settings.setUiLanguage(language);
        MainWindow window(ui.context);
        window.show();
        for (const View& view : kViews) {
            window.content().selectTab(view.tab);
            view.arrange(ui, window);
            for (const QSize size : {MainWindow::kMinimumSize, MainWindow::kOpeningSize}) {
                const QString name =
                    QStringLiteral("fit-%1-%2-%3").arg(QLatin1String(view.name), rawValue(language)).arg(size.width());
                SCOPED_TRACE(name.toStdString());
                window.resize(size);
                // A scroll area shows its bars a turn of the event loop after its content settles.
                QApplication::processEvents();
                QApplication::processEvents();
                if (keepPictures)
                    window.grab().save(QDir(Screenshots::folder()).filePath(name + QStringLiteral(".png")));
                const QStringList faults = faultsIn(window);
                EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
