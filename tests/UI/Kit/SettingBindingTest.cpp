#include "UI/Kit/SettingBinding.h"

#include "Common/QtPrinters.h"
#include "UI/UiTestContext.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {
// A bound control as the test sees it: what it shows, an edit by the user, a refill by the program.
struct Bound {
    std::unique_ptr<QWidget> control;
    std::function<QString()> shown;
    std::function<void(const QString&)> edit;
    std::function<void()> refill;
};

Bound checkBox(AppSettings& settings)
{
    auto* box = new QCheckBox(QStringLiteral("Barge-in"));
    SettingBinding::toggle(*box, settings, &AppSettings::bargeInEnabled, &AppSettings::setBargeInEnabled,
                           &AppSettings::bargeInEnabledChanged);
    return {std::unique_ptr<QWidget>(box), [box] { return QVariant(box->isChecked()).toString(); },
            [box](const QString& v) {
                if (QVariant(box->isChecked()).toString() != v)  // a click always changes a check box
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            },
            [box] { box->setChecked(!box->isChecked()); }};
}

Bound lineEdit(AppSettings& settings)
{
    auto* edit = new QLineEdit;
    SettingBinding::text(*edit, settings, &AppSettings::assistantName, &AppSettings::setAssistantName,
                         &AppSettings::assistantNameChanged);
    return {std::unique_ptr<QWidget>(edit), [edit] { return edit->text(); },
            [edit](const QString& v) {  // one edit, as a paste over the selection makes it
                edit->setText(v);
                emit edit->textEdited(v);
            },
            [edit] { edit->setText(QStringLiteral("typed by the program")); }};
}

template <typename Getter, typename Setter, typename Signal>
Bound comboBox(AppSettings& settings, const QStringList& values, Getter get, Setter set, Signal changed)
{
    auto* box = new QComboBox;
    const auto fill = [box, values] {
        box->clear();
        for (const QString& value : values)
            box->addItem(value, value);
    };
    fill();
    SettingBinding::choice(*box, settings, get, set, changed);
    return {std::unique_ptr<QWidget>(box), [box] { return box->currentData().toString(); },
            [box](const QString& v) {
                box->setCurrentIndex(box->findData(v));
                emit box->activated(box->currentIndex());
            },
            [box, fill] {
                fill();
                box->setCurrentIndex(box->count() - 1);
            }};
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

TEST(SettingBinding, fillsAndFollowsTheSettingAndWritesOnlyRealUserEdits)
{
    QStringList modes;
    for (const AppMode mode : allCases<AppMode>())
        modes << rawValue(mode);
    const QStringList locales{QStringLiteral("ko-KR"), QStringLiteral("en-US"), QStringLiteral("ja-JP")};
    const Case cases[] = {
        {"check box", checkBox, SIGNAL(bargeInEnabledChanged()), [](AppSettings& s) { s.setBargeInEnabled(false); },
         QStringLiteral("false"), QStringLiteral("true"),
         [](const AppSettings& s) { return QVariant(s.bargeInEnabled()).toString(); }},
        {"line edit", lineEdit, SIGNAL(assistantNameChanged()),
         [](AppSettings& s) { s.setAssistantName(QStringLiteral("Mina")); }, QStringLiteral("Mina"),
         QStringLiteral("Juno"), [](const AppSettings& s) { return s.assistantName(); }},
        {"closed choice",
         [&](AppSettings& s) {
             return comboBox(s, modes, &AppSettings::appMode, &AppSettings::setAppMode, &AppSettings::appModeChanged);
         },
         SIGNAL(appModeChanged()), [](AppSettings& s) { s.setAppMode(AppMode::minutes); }, QStringLiteral("minutes"),
         QStringLiteral("translate"), [](const AppSettings& s) { return rawValue(s.appMode()); }},
        {"text choice",
         [&](AppSettings& s) {
             return comboBox(s, locales, &AppSettings::localeID, &AppSettings::setLocaleID,
                             &AppSettings::localeIDChanged);
         },
         SIGNAL(localeIDChanged()), [](AppSettings& s) { s.setLocaleID(QStringLiteral("ja-JP")); },
         QStringLiteral("ja-JP"), QStringLiteral("en-US"), [](const AppSettings& s) { return s.localeID(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        Bound bound = c.bind(ui.settings);
        QSignalSpy writes(&ui.settings, c.changedSignal);
        EXPECT_EQ(bound.shown(), c.read(ui.settings)) << "filled from the setting";
        c.change(ui.settings);
        EXPECT_EQ(bound.shown(), c.changedTo) << "follows the setting";
        bound.edit(c.changedTo);
        EXPECT_EQ(writes.count(), 1) << "neither following nor an edit to the stored value writes";
        bound.edit(c.edited);
        EXPECT_EQ(c.read(ui.settings), c.edited);
        EXPECT_EQ(writes.count(), 2) << "a user edit writes once";
        bound.refill();
        EXPECT_EQ(c.read(ui.settings), c.edited) << "a program change of the control never writes";
        EXPECT_EQ(writes.count(), 2);
    }
}

}  // namespace
