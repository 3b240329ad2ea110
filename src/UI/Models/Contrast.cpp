#include "UI/Models/Contrast.h"

#include <cmath>

namespace Contrast {

namespace {
double linear(float channel)
{
    return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
}  // namespace

double luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double ratio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor over(const QColor& top, const QColor& bottom)
{
    const float alpha = top.alphaF();
    const auto mix = [alpha](float t, float b) { return t * alpha + b * (1 - alpha); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()));
}

QColor readable(const QColor& colour, const QColor& background, double minimum)
{
    if (ratio(colour, background) >= minimum)
        return colour;
    // Towards black on a light background, towards white on a dark one: mixing in steps of
    // one percent keeps the hue and ends at the first colour that contrasts enough.
    const QColor target = luminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    QColor mixed = colour;
    for (int step = 1; step <= 100 && ratio(mixed, background) < minimum; ++step) {
        const float share = float(step) / 100.0f;
        const auto mix = [share](float from, float to) { return from + (to - from) * share; };
        mixed = QColor::fromRgbF(mix(colour.redF(), target.redF()), mix(colour.greenF(), target.greenF()),
                                 mix(colour.blueF(), target.blueF()), colour.alphaF());
    }
    return mixed;
}

}  // namespace Contrast
