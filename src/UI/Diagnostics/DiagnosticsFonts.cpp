#include "UI/Diagnostics/DiagnosticsFonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace DiagnosticsFonts {

QFont text(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont mono(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({font.family(), QStringLiteral("Noto Sans Mono CJK KR")});
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

}  // namespace DiagnosticsFonts
