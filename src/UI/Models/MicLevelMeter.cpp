#include "UI/Models/MicLevelMeter.h"

#include "UI/Models/ThemePalette.h"

#include <algorithm>
#include <cmath>

namespace MicLevelMeter {

double clamped(double level)
{
    return std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0);
}

double fillWidth(double level, double barWidth)
{
    return std::min(std::max(barWidth * clamped(level), smallestFill), std::max(barWidth, 0.0));
}

using ThemePalette::withAlpha;

QColor fillColor(double level, bool listening, bool dark)
{
    using ThemePalette::Named;
    const QColor gray = ThemePalette::named(Named::gray, dark);
    if (!listening)
        return withAlpha(gray, 0.35);
    const double shown = clamped(level);
    if (shown >= loud)
        return ThemePalette::named(Named::green, dark);
    if (shown >= audible)
        return ThemePalette::named(Named::warm, dark);
    return withAlpha(gray, 0.55);
}

QColor trackColor(bool dark)
{
    return withAlpha(ThemePalette::color(ThemePalette::Token::primary, dark), 0.08);
}

}  // namespace MicLevelMeter
