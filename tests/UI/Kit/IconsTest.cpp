#include "UI/Kit/Icons.h"

#include "Common/ImageChecks.h"

#include <QIcon>
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
        fromTheme += !name.isEmpty() && QIcon::hasThemeIcon(name);
    }
    EXPECT_GT(fromTheme, symbols.size() / 2) << "the desktop icon theme is not being found";
    EXPECT_EQ(QSet<QString>(symbols.begin(), symbols.end()).size(), symbols.size()) << "a symbol is listed twice";
}

}  // namespace
