#include "UI/BoundControls.h"

#include "Common/QtPrinters.h"

#include <QAbstractButton>
#include <QComboBox>
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
}
