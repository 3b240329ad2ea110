#pragma once

#include "UI/Models/TextTint.h"

#include <optional>

class PlainTextLabel;
class QWidget;
class Theme;

// The text sizes and colours of the settings pages. Sizes follow the application font (the
// desktop's, or the one a test pins); a tint is resolved against the palette's text colour
// and again whenever the appearance changes.
namespace TextStyle {

enum class Size { title, header, body, callout, caption, caption2 };

void setSize(QWidget& widget, Size size, bool semibold = false);
void setMonospace(QWidget& widget);
// The colour of the widget's text (and of a button's).
void setTint(QWidget& widget, TextTint tint, const Theme& theme);

// A label for the settings pages: plain text, wrapping, in the size and tint given.
PlainTextLabel* makeLabel(Size size, std::optional<TextTint> tint, const Theme& theme);

}  // namespace TextStyle
