#pragma once

#include "Persistence/AppLanguage.h"

#include <QImage>
#include <QString>

class QWidget;

// Renders views the same way every run, for people to look at: pinned fonts (Noto Sans, with
// Noto Sans CJK KR for Hangul and Noto Color Emoji), a forced light or dark application
// palette, a fixed size. The PNGs go into the folder named by PARLIVOX_SCREENS, else into a
// temporary folder.
namespace Screenshots {

enum class Appearance { light, dark };

// Pins the fonts and forces the palette (the window follows it as it follows the desktop).
void prepare(Appearance appearance);
// Gives the application back its own palette.
void restore();

// Shows the widget at the size, lets it lay out, grabs it and saves "<name>.png".
QImage take(QWidget& widget, const QSize& size, const QString& name);

QString folder();
QString suffix(AppLanguage language, Appearance appearance);  // "-en-light", "-ko-dark", …

}  // namespace Screenshots
