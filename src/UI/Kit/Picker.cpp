#include "UI/Kit/Picker.h"

#include <QAbstractItemView>
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
    // Looked at once the selection has settled: keys and the pointer select an entry and then
    // make it current, within one event.
    connect(view()->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Picker::chooseSelectedEntry,
            Qt::QueuedConnection);
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

void Picker::chooseSelectedEntry()
{
    const QModelIndexList selected = view()->selectionModel()->selectedIndexes();
    if (selected.size() != 1)
        return;
    const QModelIndex entry = selected.first();
    if (entry == view()->currentIndex() || !(entry.flags() & Qt::ItemIsEnabled))
        return;
    setCurrentIndex(entry.row());
    hidePopup();
}
