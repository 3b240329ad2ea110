#include "UI/Kit/Picker.h"

#include <QKeyEvent>
#include <QWheelEvent>

Picker::Picker(QWidget* parent) : QComboBox(parent)
{
    // Not focused by the wheel, or one turn over it would both focus and change it.
    setFocusPolicy(Qt::StrongFocus);
    // Sized by its row rather than its longest entry, so a long name never widens the page;
    // the open list shows every entry whole.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

void Picker::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void Picker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
        event->ignore();
    else
        QComboBox::keyPressEvent(event);
}
