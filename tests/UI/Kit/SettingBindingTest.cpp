#include "UI/Kit/SettingBinding.h"

#include "Common/QtPrinters.h"
#include "UI/BoundControls.h"
#include "UI/Kit/Picker.h"
#include "UI/Settings/PickerFill.h"
#include "UI/UiTestContext.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {
// A bound control as the test sees it: an edit by the mouse or the keys, and for a picker a
// refill by the program.
struct Bound {
    std::unique_ptr<QWidget> control;
    std::function<void(const QString&)> edit;
    std::function<void()> refill = {};
};

Bound checkBox(AppSettings& settings)
{
    auto* box = new QCheckBox(QStringLiteral("Barge-in"));
    SettingBinding::toggle(*box, settings, &AppSettings::bargeInEnabled, &AppSettings::setBargeInEnabled,
                           &AppSettings::bargeInEnabledChanged);
    return {std::unique_ptr<QWidget>(box), [box](const QString& v) {
                if (asText(box->isChecked()) != v)  // a click always changes a check box
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            }};
}

Bound lineEdit(AppSettings& settings)
{
    auto* edit = new QLineEdit;
    SettingBinding::text(*edit, settings, &AppSettings::assistantName, &AppSettings::setAssistantName,
                         &AppSettings::assistantNameChanged);
    return {std::unique_ptr<QWidget>(edit), [edit](const QString& v) {
                edit->selectAll();
                edit->insert(v);  // one edit, as a paste over the selection makes it
            }};
}

// A picker with a group title before its values; the refill offers them in another order.
template <typename Getter, typename Setter, typename Signal>
Bound picker(AppSettings& settings, const QStringList& values, Getter get, Setter set, Signal changed)
{
    auto* box = new Picker;
    const auto fill = [box, values](bool reversed) {
        PickerItems items{PickerItem::header(QStringLiteral("Group"))};
        for (const QString& value : values)
            items.insert(reversed ? 1 : items.size(), PickerItem::choice(value, value));
        PickerFill::fill(*box, items);
    };
    fill(false);
    SettingBinding::choice(*box, settings, get, set, changed);
    return {std::unique_ptr<QWidget>(box),
            [box](const QString& v) {
                box->setFocus();
                // An arrow key to the next entry.
                QTest::keyClick(box, box->currentIndex() < box->findData(v) ? Qt::Key_Down : Qt::Key_Up);
            },
            [fill] { fill(true); }};
}

struct Case {
    const char* name;
    std::function<Bound(AppSettings&)> bind;
    const char* changedSignal;
    std::function<void(AppSettings&)> change;  // a change of the setting elsewhere
    QString changedTo;
    QString edited;  // the user's edit
    std::function<QString(const AppSettings&)> read;
};

TEST(SettingBinding, fillsAndFollowsTheSettingAndWritesEveryRealEditWhateverMadeIt)
{
    QStringList modes;
    for (const AppMode mode : allCases<AppMode>())
        modes << rawValue(mode);
    const QStringList locales{QStringLiteral("ko-KR"), QStringLiteral("en-US"), QStringLiteral("ja-JP")};
    const Case cases[] = {
        {"check box", checkBox, SIGNAL(bargeInEnabledChanged()), [](AppSettings& s) { s.setBargeInEnabled(false); },
         QStringLiteral("false"), QStringLiteral("true"),
         [](const AppSettings& s) { return asText(s.bargeInEnabled()); }},
        {"line edit", lineEdit, SIGNAL(assistantNameChanged()),
         [](AppSettings& s) { s.setAssistantName(QStringLiteral("Mina")); }, QStringLiteral("Mina"),
         QStringLiteral("Juno"), [](const AppSettings& s) { return s.assistantName(); }},
        {"closed choice",
         [&](AppSettings& s) {
             return picker(s, modes, &AppSettings::appMode, &AppSettings::setAppMode, &AppSettings::appModeChanged);
         },
         SIGNAL(appModeChanged()), [](AppSettings& s) { s.setAppMode(AppMode::minutes); }, QStringLiteral("minutes"),
         QStringLiteral("brainstorm"), [](const AppSettings& s) { return rawValue(s.appMode()); }},
        {"text choice",
         [&](AppSettings& s) {
             return picker(s, locales, &AppSettings::localeID, &AppSettings::setLocaleID,
                           &AppSettings::localeIDChanged);
         },
         SIGNAL(localeIDChanged()), [](AppSettings& s) { s.setLocaleID(QStringLiteral("ja-JP")); },
         QStringLiteral("ja-JP"), QStringLiteral("en-US"), [](const AppSettings& s) { return s.localeID(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        Bound bound = c.bind(ui.settings);
        bound.control->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bound.control.get()));
        QWidget& control = *bound.control;
        QSignalSpy writes(&ui.settings, c.changedSignal);
        EXPECT_EQ(shownValue(control), c.read(ui.settings)) << "filled from the setting";
        c.change(ui.settings);
        EXPECT_EQ(shownValue(control), c.changedTo) << "follows the setting";
        EXPECT_EQ(writes.count(), 1) << "following writes nothing";
        bound.edit(c.edited);
        EXPECT_EQ(c.read(ui.settings), c.edited) << "by the mouse or the keys";
        editByScreenReader(control, c.changedTo);
        EXPECT_EQ(c.read(ui.settings), c.changedTo) << "by a screen reader's action";
        EXPECT_EQ(shownValue(control), c.changedTo);
        EXPECT_EQ(writes.count(), 3) << "each edit writes once";
        if (bound.refill) {
            bound.refill();
            EXPECT_EQ(shownValue(control), c.changedTo) << "a refill keeps the choice";
            auto& box = static_cast<QComboBox&>(control);
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(box.view());
            list->child(0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCoreApplication::processEvents();
            EXPECT_EQ(shownValue(control), c.changedTo) << "a group title is not chosen";
            EXPECT_EQ(writes.count(), 3) << "neither a refill nor a group title writes";
        }
    }
}

}  // namespace
