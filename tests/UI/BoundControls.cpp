#include "UI/BoundControls.h"

#include "Common/QtPrinters.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

QString shownValue(QWidget& control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(&control))
        return asText(button->isChecked());
    if (auto* edit = qobject_cast<QLineEdit*>(&control))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(&control))
        return combo->currentData().toString();
    return QStringLiteral("(not a bound control)");
}

void editAsUser(QWidget& control, const QString& value)
{
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        if (asText(button->isChecked()) != value)
            button->click();
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(value);  // one edit, as a paste over the selection makes it
        emit edit->textEdited(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        const int index = combo->findData(value);
        ASSERT_GE(index, 0) << "no entry " << value.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
}

void editByScreenReader(QWidget& control, const QString& value)
{
    if (shownValue(control) == value)
        return;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
    ASSERT_TRUE(accessible);
    const auto act = [](QAccessibleInterface& target, const QString& action) {
        ASSERT_TRUE(target.actionInterface());
        ASSERT_TRUE(target.actionInterface()->actionNames().contains(action)) << action.toStdString() << " not offered";
        target.actionInterface()->doAction(action);
    };
    if (qobject_cast<QAbstractButton*>(&control)) {
        act(*accessible, QAccessibleActionInterface::toggleAction());
    } else if (qobject_cast<QLineEdit*>(&control)) {
        accessible->setText(QAccessible::Value, value);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        const int row = combo->findData(value);
        ASSERT_GE(row, 0) << "no entry " << value.toStdString();
        if (combo->isVisible())
            act(*accessible, QAccessibleActionInterface::showMenuAction());
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo->view());
        ASSERT_TRUE(list && list->childCount() > row);
        act(*list->child(row), QAccessibleActionInterface::toggleAction());
    }
    QCoreApplication::processEvents();
}

void expectBound(QWidget& view, UiTestContext& ui, const BoundControl& bound)
{
    SCOPED_TRACE(bound.control);
    auto* control = view.findChild<QWidget*>(QLatin1String(bound.control));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(shownValue(*control), bound.read(ui)) << "shows the stored value";
    bound.write(ui, bound.outside);
    EXPECT_EQ(shownValue(*control), bound.outside) << "follows a change made elsewhere";
    editAsUser(*control, bound.edited);
    EXPECT_EQ(bound.read(ui), bound.edited) << "a user's edit is written";
    EXPECT_EQ(shownValue(*control), bound.edited);
    // Back and forth, so it ends as the user left it (a later row may depend on it).
    for (const QString& value : {bound.outside, bound.edited}) {
        editByScreenReader(*control, value);
        EXPECT_EQ(bound.read(ui), value) << "a screen reader's edit is written";
        EXPECT_EQ(shownValue(*control), value);
    }
}
