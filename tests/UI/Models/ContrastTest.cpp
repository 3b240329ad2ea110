// Contrast as the accessibility guidelines measure it, and the palette's promise built on it:
// every text colour reads at 4.5:1 on every own surface, outlines at 3:1, white at 4.5:1 on
// every filled control, in both appearances.
#include "UI/Models/Contrast.h"

#include "Common/QtPrinters.h"
#include "UI/Models/ThemePalette.h"

#include <QPalette>

#include <gtest/gtest.h>

namespace {
using ThemePalette::Named;
using ThemePalette::Token;

TEST(Contrast, RatiosAndTheLeastChangeThatReads)
{
    EXPECT_NEAR(Contrast::ratio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(Contrast::ratio(Qt::white, Qt::black), 21.0, 1e-9) << "the order does not matter";
    EXPECT_NEAR(Contrast::ratio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(Contrast::ratio(QColor(10, 20, 30), QColor(10, 20, 30)), 1.0, 1e-9);
    EXPECT_EQ(Contrast::over(QColor(255, 0, 0, 0), Qt::blue), QColor(Qt::blue));
    EXPECT_EQ(Contrast::over(QColor(255, 255, 255, 128), Qt::black).red(), 128);

    struct Case {
        QColor colour;
        QColor background;
        bool darker;  // else lighter
    };
    const Case cases[] = {
        {QColor(255, 149, 0), Qt::white, true},  // orange text on white
        {QColor(142, 142, 147), QColor(246, 243, 237), true},  // gray on the light canvas
        {QColor(88, 86, 214), QColor(30, 29, 27), false},  // indigo on the dark canvas
        {QColor(255, 214, 10), Qt::black, true},  // already readable: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour.name().toStdString());
        const QColor readable = Contrast::readable(c.colour, c.background);
        EXPECT_GE(Contrast::ratio(readable, c.background), Contrast::kText);
        if (Contrast::ratio(c.colour, c.background) >= Contrast::kText) {
            EXPECT_EQ(readable, c.colour);
            continue;
        }
        EXPECT_EQ(Contrast::luminance(readable) < Contrast::luminance(c.colour), c.darker);
        EXPECT_NEAR(readable.hueF(), c.colour.hueF(), 0.02) << "the hue is kept";
    }
}

TEST(ThemePalette, TextReadsAndOutlinesShowOnEveryOwnSurface)
{
    const Token surfaces[] = {Token::canvas, Token::surface, Token::muted, Token::accentSoft};
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        const QPalette palette = ThemePalette::palette(dark);
        for (const Token surface : surfaces) {
            const QColor under = ThemePalette::color(surface, dark);
            for (const Token text : {Token::primary, Token::secondary, Token::tertiary})
                EXPECT_GE(Contrast::ratio(ThemePalette::color(text, dark), under), Contrast::kText);
            EXPECT_GE(Contrast::ratio(ThemePalette::color(Token::outline, dark), under), Contrast::kOutline);
            for (int named = int(Named::gray); named <= int(Named::clockOut); ++named)
                EXPECT_GE(Contrast::ratio(ThemePalette::text(Named(named), dark), under), Contrast::kText) << named;
        }
        for (int named = int(Named::gray); named <= int(Named::clockOut); ++named)
            EXPECT_GE(Contrast::ratio(ThemePalette::filled(Named(named), dark), Qt::white), Contrast::kText) << named;
        // The controls' own colours: text in fields and on buttons, the field's placeholder,
        // the outline around a field and selected text.
        const auto role = [&palette](QPalette::ColorRole r) { return palette.color(QPalette::Active, r); };
        EXPECT_GE(Contrast::ratio(role(QPalette::Text), role(QPalette::Base)), Contrast::kText);
        EXPECT_GE(Contrast::ratio(role(QPalette::PlaceholderText), role(QPalette::Base)), Contrast::kText);
        EXPECT_GE(Contrast::ratio(role(QPalette::ButtonText), role(QPalette::Button)), Contrast::kText);
        EXPECT_GE(Contrast::ratio(role(QPalette::Mid), role(QPalette::Base)), Contrast::kOutline);
        EXPECT_GE(Contrast::ratio(role(QPalette::HighlightedText), role(QPalette::Highlight)), Contrast::kText);
        EXPECT_GE(Contrast::ratio(role(QPalette::Link), role(QPalette::Window)), Contrast::kText);
    }
}

}  // namespace
