#include "UI/Kit/Icons.h"

#include "Common/ImageChecks.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QSet>

#include <gtest/gtest.h>

namespace {
// A blank icon is a button without a face: the theme icon must load (the SVG plugin and the
// theme are installed) or the drawn glyph must stand in, in every mode.
TEST(Icons, everySymbolDrawsSomethingInEveryMode)
{
    Icons::useDesktopTheme();
    int fromTheme = 0;
    QStringList symbols = Icons::symbolNames();
    symbols << QStringLiteral("no.such.symbol");
    for (const QString& symbol : symbols) {
        SCOPED_TRACE(symbol.toStdString());
        const QIcon icon = Icons::symbol(symbol);
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_FALSE(isBlank(icon.pixmap(QSize(24, 24), mode).toImage()));
        const QString name = Icons::themeIconName(symbol);
        // A name the theme lacks sends the lookup through every inherited theme's index, which
        // costs the first window several milliseconds.
        if (!name.isEmpty()) {
            EXPECT_TRUE(QIcon::hasThemeIcon(name)) << name.toStdString() << " is not in the desktop theme";
        }
        fromTheme += !name.isEmpty();
    }
    EXPECT_GT(fromTheme, symbols.size() / 2) << "most symbols should come from the desktop theme";
    EXPECT_EQ(QSet<QString>(symbols.begin(), symbols.end()).size(), symbols.size()) << "a symbol is listed twice";
}

// Pictures are kept between repaints, yet a symbol follows the text colour when the palette
// turns dark and back, with the theme's icon and with the drawn glyph alike.
TEST(Icons, aKeptPictureFollowsThePaletteAndTheMode)
{
    Icons::useDesktopTheme();
    const QPalette original = QGuiApplication::palette();
    const auto colourOf = [](const QIcon& icon, QIcon::Mode mode) {
        const QImage image = icon.pixmap(QSize(24, 24), mode).toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    return QColor(image.pixel(x, y));
        return QColor();
    };
    for (const char* symbol : {"mic.fill", "brain"}) {
        SCOPED_TRACE(symbol);
        const QIcon icon = Icons::symbol(QString::fromLatin1(symbol));
        for (const QColor text : {QColor(Qt::black), QColor(Qt::white), QColor(Qt::black)}) {
            QPalette palette = original;
            palette.setColor(QPalette::WindowText, text);
            QGuiApplication::setPalette(palette);
            EXPECT_EQ(colourOf(icon, QIcon::Normal), text);
            EXPECT_EQ(colourOf(icon, QIcon::Normal), text) << "asked again";
            EXPECT_FALSE(colourOf(icon, QIcon::Disabled).isValid()) << "a disabled symbol is faint";
        }
    }
    QGuiApplication::setPalette(original);
}

}  // namespace
