#include "UI/KeyboardAccess.h"

#include <QAccessible>
#include <QApplication>
#include <QSet>
#include <QTabBar>
#include <QTest>
#include <QWidget>

namespace {
QString describe(const QWidget* widget)
{
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
}

bool isNamed(QWidget* widget)
{
    if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i).trimmed().isEmpty())
                return false;
        return tabs->count() > 0;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty();
}
}  // namespace

QStringList keyboardAccessFaults(QWidget& window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>())
        // A widget with a focus proxy (a tab widget and its tab bar) is reached through the proxy.
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            !widget->focusProxy())
            controls << widget;

    QStringList faults;
    for (QWidget* control : controls)
        if (!isNamed(control))
            faults << QStringLiteral("no accessible name: ") + describe(control);
    if (controls.isEmpty())
        return faults;

    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        return faults << QStringLiteral("the window never became active");
    controls.first()->setFocus(Qt::TabFocusReason);
    QSet<QWidget*> reached;
    for (int press = 0; press <= 2 * controls.size(); ++press) {
        if (QWidget* focused = QApplication::focusWidget())
            reached.insert(focused);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
    }
    for (QWidget* control : controls)
        if (!reached.contains(control))
            faults << QStringLiteral("not reached by Tab: ") + describe(control);
    return faults;
}
