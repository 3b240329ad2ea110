#pragma once

#include <QFont>

class QWidget;

// The talk view's text styles, sized from the application font so they follow the desktop's
// font size: body is the application font, the others a step or two around it.
namespace TextStyle {

enum class Size { title2, body, callout, caption, caption2, tiny };

QFont font(Size size, QFont::Weight weight = QFont::Normal);
// Gives the widget that font.
void apply(QWidget& widget, Size size, QFont::Weight weight = QFont::Normal);

}  // namespace TextStyle
