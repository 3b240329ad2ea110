#pragma once

#include "UI/Models/ThemePalette.h"

#include <optional>

class PlainTextLabel;
class QWidget;
class Theme;

// The text sizes and colours of the settings pages. Sizes follow the application font (the
// desktop's, or the one a test pins); colours come from the theme or the palette and follow
// a change of appearance.
namespace TextStyle {

enum class Size { title, header, body, callout, caption, caption2 };

void setSize(QWidget& widget, Size size, bool semibold = false);
void setMonospace(QWidget& widget);

// The text colour: `secondary` is the palette's text colour at reduced strength.
enum class Tone { secondary, tertiary, accent, orange, red };
void setTone(QWidget& widget, Tone tone, const Theme& theme);

// A label for the settings pages: plain text, wrapping, in the size and tone given.
PlainTextLabel* makeLabel(Size size, std::optional<Tone> tone, const Theme& theme);

}  // namespace TextStyle
