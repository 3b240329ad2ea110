#pragma once

class QWidget;

// The order of Tab for parts made after the rest (a row that comes and goes, a bubble), which
// Qt would otherwise put at the end of the window.
namespace TabOrder {

// Moves the controls inside `group` to come right after `before` (itself when it takes the
// focus, else the last control inside it), keeping their own order.
void placeAfter(QWidget& before, QWidget& group);

}  // namespace TabOrder
