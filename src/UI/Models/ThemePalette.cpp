#include "UI/Models/ThemePalette.h"

#include "UI/Models/Contrast.h"

#include <QPalette>

namespace ThemePalette {

namespace {
struct Pair {
    QColor light;
    QColor dark;
};

QColor rgb(double red, double green, double blue)
{
    return QColor::fromRgbF(float(red), float(green), float(blue));
}

Pair tokenPair(Token token)
{
    switch (token) {
    case Token::canvas:
        return {rgb(0.964, 0.953, 0.929), rgb(0.118, 0.114, 0.106)};
    case Token::surface:
        return {rgb(0.984, 0.976, 0.957), rgb(0.157, 0.151, 0.141)};
    case Token::muted:
        return {rgb(0.945, 0.933, 0.906), rgb(0.09, 0.086, 0.08)};
    case Token::accentSoft:
        return {rgb(0.984, 0.918, 0.875), rgb(0.247, 0.165, 0.125)};
    case Token::userBubble:
        return {rgb(0.184, 0.176, 0.169), rgb(0.314, 0.302, 0.282)};
    case Token::primary:
        return {rgb(0.114, 0.106, 0.094), rgb(0.945, 0.937, 0.918)};
    case Token::secondary:
        return {rgb(0.4, 0.385, 0.36), rgb(0.68, 0.67, 0.65)};
    case Token::tertiary:
        return {rgb(0.43, 0.415, 0.39), rgb(0.6, 0.59, 0.57)};
    case Token::outline:
        return {rgb(0.5, 0.485, 0.46), rgb(0.55, 0.535, 0.51)};
    case Token::onUserBubble:
        return {rgb(0.984, 0.976, 0.957), rgb(0.965, 0.957, 0.94)};
    case Token::accent:
        return {rgb(0.835, 0.443, 0.298), rgb(0.875, 0.494, 0.357)};
    case Token::border:
        return {rgb(0.89, 0.875, 0.843), rgb(0.29, 0.28, 0.265)};
    }
    return {};
}

Pair namedPair(Named colour)
{
    switch (colour) {
    case Named::gray:
        return {QColor(142, 142, 147), QColor(152, 152, 157)};
    case Named::green:
        return {QColor(52, 199, 89), QColor(48, 209, 88)};
    case Named::orange:
        return {QColor(255, 149, 0), QColor(255, 159, 10)};
    case Named::blue:
        return {QColor(0, 122, 255), QColor(10, 132, 255)};
    case Named::purple:
        return {QColor(175, 82, 222), QColor(191, 90, 242)};
    case Named::red:
        return {QColor(255, 59, 48), QColor(255, 69, 58)};
    case Named::yellow:
        return {QColor(255, 204, 0), QColor(255, 214, 10)};
    case Named::pink:
        return {QColor(255, 45, 85), QColor(255, 55, 95)};
    case Named::cyan:
        return {QColor(50, 173, 230), QColor(100, 210, 255)};
    case Named::teal:
        return {QColor(48, 176, 199), QColor(64, 200, 224)};
    case Named::indigo:
        return {QColor(88, 86, 214), QColor(94, 92, 230)};
    case Named::brown:
        return {QColor(162, 132, 94), QColor(172, 142, 104)};
    case Named::warm:
        return {rgb(0.84, 0.45, 0.36), rgb(0.84, 0.45, 0.36)};
    case Named::clockIn:
        return {rgb(0.357, 0.553, 0.376), rgb(0.357, 0.553, 0.376)};
    case Named::rest:
        return {rgb(0.78, 0.6, 0.27), rgb(0.78, 0.6, 0.27)};
    case Named::clockOut:
        return {rgb(0.408, 0.435, 0.486), rgb(0.408, 0.435, 0.486)};
    }
    return {};
}
}  // namespace

QColor color(Token token, bool dark)
{
    const Pair pair = tokenPair(token);
    return dark ? pair.dark : pair.light;
}

QColor named(Named colour, bool dark)
{
    const Pair pair = namedPair(colour);
    return dark ? pair.dark : pair.light;
}

QColor text(const QColor& colour, bool dark)
{
    // The assistant's bubble is the own surface nearest to text colours in both appearances.
    return Contrast::readable(colour, ThemePalette::color(Token::accentSoft, dark));
}

QColor text(Named colour, bool dark)
{
    return text(named(colour, dark), dark);
}

QColor filled(Named colour, bool dark)
{
    return Contrast::readable(named(colour, dark), Qt::white);
}

QColor filled(Token colour, bool dark)
{
    return Contrast::readable(color(colour, dark), Qt::white);
}

QPalette palette(bool dark)
{
    const auto token = [dark](Token t) { return color(t, dark); };
    const QColor field = dark ? rgb(0.094, 0.09, 0.082) : rgb(1.0, 0.996, 0.988);
    const QColor button = dark ? rgb(0.2, 0.193, 0.18) : rgb(0.992, 0.984, 0.969);
    QPalette palette;
    palette.setColor(QPalette::Window, token(Token::canvas));
    palette.setColor(QPalette::WindowText, token(Token::primary));
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, token(Token::surface));
    palette.setColor(QPalette::ToolTipBase, token(Token::surface));
    palette.setColor(QPalette::ToolTipText, token(Token::primary));
    palette.setColor(QPalette::PlaceholderText, token(Token::secondary));
    palette.setColor(QPalette::Text, token(Token::primary));
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, token(Token::primary));
    palette.setColor(QPalette::BrightText, Qt::white);
    // Bevels and the edges of indicators: the outline reads at 3:1 on every surface.
    palette.setColor(QPalette::Light, dark ? rgb(0.3, 0.29, 0.275) : Qt::white);
    palette.setColor(QPalette::Midlight, dark ? rgb(0.25, 0.24, 0.23) : rgb(0.93, 0.92, 0.9));
    palette.setColor(QPalette::Mid, token(Token::outline));
    palette.setColor(QPalette::Dark, dark ? rgb(0.06, 0.06, 0.055) : rgb(0.35, 0.34, 0.32));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, filled(Token::accent, dark));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, text(token(Token::accent), dark));
    palette.setColor(QPalette::LinkVisited, text(token(Token::accent), dark));
    // Disabled controls need not be read; they are only dimmed.
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, token(Token::tertiary));
    palette.setColor(QPalette::Disabled, QPalette::Base, token(Token::surface));
    palette.setColor(QPalette::Disabled, QPalette::Button, token(Token::surface));
    return palette;
}

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

QColor phaseColor(ConversationPhase phase, bool dark)
{
    switch (phase) {
    case ConversationPhase::idle:
        return named(Named::gray, dark);
    case ConversationPhase::listening:
        return named(Named::green, dark);
    case ConversationPhase::thinking:
        return named(Named::orange, dark);
    case ConversationPhase::speaking:
        return named(Named::blue, dark);
    case ConversationPhase::interrupted:
        return named(Named::purple, dark);
    case ConversationPhase::error:
        return named(Named::red, dark);
    }
    return {};
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

}  // namespace ThemePalette
