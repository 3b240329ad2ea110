#pragma once

#include <QStringList>

class QWidget;

// What keeps a window from being used by keyboard and screen reader: every visible, enabled
// control that takes focus must be reached by pressing Tab from the first one, and must have
// an accessible name (a tab bar: a text on every tab). Returns one line per fault.
QStringList keyboardAccessFaults(QWidget& window);
