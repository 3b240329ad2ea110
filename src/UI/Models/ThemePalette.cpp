#include "UI/Models/ThemePalette.h"

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
    case Token::tertiary:
        return {rgb(0.616, 0.596, 0.561), rgb(0.502, 0.49, 0.467)};
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
