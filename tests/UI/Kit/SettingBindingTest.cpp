#include "UI/Kit/SettingBinding.h"

#include "Common/QtPrinters.h"
#include "UI/UiTestContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {
// One bound control: how the test reads it, sets it as a program would, and edits it as the user.
struct Bound {
    std::unique_ptr<QWidget> control;
    std::function<QString()> shown;
    std::function<void(const QString&)> setByProgram;
    std::function<void(const QString&)> editByUser;
};

struct Case {
    const char* name;
    std::function<Bound(AppSettings&)> bind;
    const char* changedSignal;
    std::function<void(AppSettings&)> changeSetting;
    QString shownAfterChange;
    QString userValue;
    QString stored;  // what the setting holds after the user's edit
    std::function<QString(const AppSettings&)> read;
};

Bound checkBox(AppSettings& settings)
{
    auto* box = new QCheckBox(QStringLiteral("Barge-in"));
    SettingBinding::toggle(*box, settings, &AppSettings::bargeInEnabled, &AppSettings::setBargeInEnabled,
                           &AppSettings::bargeInEnabledChanged);
    const auto flag = [](const QString& text) { return text == QLatin1String("true"); };
    return {std::unique_ptr<QWidget>(box),
            [box] { return box->isChecked() ? QStringLiteral("true") : QStringLiteral("false"); },
            [box, flag](const QString& v) { box->setChecked(flag(v)); },
            [box, flag](const QString& v) {
                if (box->isChecked() != flag(v))  // a click always changes a check box
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            }};
}

Bound lineEdit(AppSettings& settings)
{
    auto* edit = new QLineEdit;
    SettingBinding::text(*edit, settings, &AppSettings::assistantName, &AppSettings::setAssistantName,
                         &AppSettings::assistantNameChanged);
    return {std::unique_ptr<QWidget>(edit), [edit] { return edit->text(); },
            [edit](const QString& v) { edit->setText(v); },
            [edit](const QString& v) {  // one edit, as a paste over the selection makes it
                edit->setText(v);
                emit edit->textEdited(v);
            }};
}

Bound combo(QComboBox* box, const QStringList& values)
{
    const auto fill = [box, values] {
        for (const QString& value : values)
            box->addItem(value, value);
    };
    fill();
    return {std::unique_ptr<QWidget>(box), [box] { return box->currentData().toString(); },
            [box, fill](const QString& v) {  // refilled by the program
                box->clear();
                fill();
                box->setCurrentIndex(box->findData(v));
            },
            [box](const QString& v) {
                box->setCurrentIndex(box->findData(v));
                emit box->activated(box->findData(v));
            }};
}

template <typename Getter, typename Setter, typename Signal>
Bound boundCombo(AppSettings& settings, const QStringList& values, Getter get, Setter set, Signal changed)
{
    auto* box = new QComboBox;
    Bound bound = combo(box, values);
    SettingBinding::choice(*box, settings, get, set, changed);
    return bound;
}

Bound modeCombo(AppSettings& settings)
{
    QStringList modes;
    for (const AppMode mode : allCases<AppMode>())
        modes << rawValue(mode);
    return boundCombo(settings, modes, &AppSettings::appMode, &AppSettings::setAppMode, &AppSettings::appModeChanged);
}

Bound localeCombo(AppSettings& settings)
{
    return boundCombo(settings, {QStringLiteral("ko-KR"), QStringLiteral("en-US"), QStringLiteral("ja-JP")},
                      &AppSettings::localeID, &AppSettings::setLocaleID, &AppSettings::localeIDChanged);
}

TEST(SettingBinding, fillsAndFollowsTheSettingAndWritesOnlyRealUserEdits)
{
    const Case cases[] = {
        {"check box", checkBox, SIGNAL(bargeInEnabledChanged()), [](AppSettings& s) { s.setBargeInEnabled(false); },
         QStringLiteral("false"), QStringLiteral("true"), QStringLiteral("true"),
         [](const AppSettings& s) { return QString::fromLatin1(s.bargeInEnabled() ? "true" : "false"); }},
        {"line edit", lineEdit, SIGNAL(assistantNameChanged()),
         [](AppSettings& s) { s.setAssistantName(QStringLiteral("Mina")); }, QStringLiteral("Mina"),
         QStringLiteral("Juno"), QStringLiteral("Juno"), [](const AppSettings& s) { return s.assistantName(); }},
        {"closed choice", modeCombo, SIGNAL(appModeChanged()), [](AppSettings& s) { s.setAppMode(AppMode::minutes); },
         QStringLiteral("minutes"), QStringLiteral("translate"), QStringLiteral("translate"),
         [](const AppSettings& s) { return rawValue(s.appMode()); }},
        {"text choice", localeCombo, SIGNAL(localeIDChanged()),
         [](AppSettings& s) { s.setLocaleID(QStringLiteral("ja-JP")); }, QStringLiteral("ja-JP"),
         QStringLiteral("en-US"), QStringLiteral("en-US"), [](const AppSettings& s) { return s.localeID(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        const QString initial = c.read(ui.settings);
        Bound bound = c.bind(ui.settings);
        QSignalSpy writes(&ui.settings, c.changedSignal);
        EXPECT_EQ(bound.shown(), initial) << "filled from the setting";

        c.changeSetting(ui.settings);
        EXPECT_EQ(bound.shown(), c.shownAfterChange) << "follows the setting";
        EXPECT_EQ(writes.count(), 1) << "following writes nothing back";

        bound.editByUser(c.shownAfterChange);
        EXPECT_EQ(writes.count(), 1) << "an edit to the stored value writes nothing";

        bound.editByUser(c.userValue);
        EXPECT_EQ(c.read(ui.settings), c.stored);
        EXPECT_EQ(writes.count(), 2) << "a user edit writes once";

        bound.setByProgram(initial);
        EXPECT_EQ(c.read(ui.settings), c.stored) << "a program change of the control never writes";
        EXPECT_EQ(writes.count(), 2);
    }
}

}  // namespace
