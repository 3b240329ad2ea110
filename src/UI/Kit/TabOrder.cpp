#include "UI/Kit/TabOrder.h"

#include <QList>
#include <QWidget>

namespace TabOrder {

namespace {
bool takesTab(const QWidget& widget)
{
    return widget.focusPolicy() & Qt::TabFocus;
}

// The controls inside `root` in the window's present order of Tab.
QList<QWidget*> controlsIn(QWidget& root)
{
    QList<QWidget*> controls;
    for (QWidget* at = root.nextInFocusChain(); at != &root; at = at->nextInFocusChain())
        if (root.isAncestorOf(at) && takesTab(*at))
            controls << at;
    return controls;
}
}  // namespace

void placeAfter(QWidget& before, QWidget& group)
{
    QWidget* previous = &before;
    if (!takesTab(before)) {
        const QList<QWidget*> inside = controlsIn(before);
        if (inside.isEmpty())
            return;
        previous = inside.last();
    }
    for (QWidget* control : controlsIn(group)) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

}  // namespace TabOrder
