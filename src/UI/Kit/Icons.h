#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringList>

// Icons by the symbol names the views are described with ("gearshape.fill"), drawn from the
// freedesktop icon theme. One table maps each symbol to one theme icon and to a glyph drawn
// when the theme lacks that icon (or no theme icon fits, as for the animals).
namespace Icons {

// The icon of a symbol, tinted with the text colour at paint time (or with `tint`).
QIcon symbol(const QString& symbolName, const QColor& tint = QColor());

// The theme icon a symbol maps to; "" when none fits and the glyph is always drawn.
QString themeIconName(const QString& symbolName);

// Every symbol in the table.
QStringList symbolNames();

// The glyph drawn for a symbol when the theme has no icon for it.
QString standInGlyph(const QString& symbolName);

// Looks for icon themes in the XDG data folders, and uses Adwaita when the desktop names no
// theme (offscreen, bare X sessions) and as the fallback behind any other.
void useDesktopTheme();

}  // namespace Icons
