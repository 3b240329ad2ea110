#include "UI/Models/FacePalette.h"

#include <algorithm>
#include <cmath>

namespace FacePalette {

namespace {
QColor rgb(double red, double green, double blue)
{
    return QColor::fromRgbF(float(red), float(green), float(blue));
}
}  // namespace

QColor blended(const QColor& base, const QColor& other, double fraction)
{
    const QColor from = base.isValid() ? base.toRgb() : QColor(Qt::black);
    const QColor to = other.isValid() ? other.toRgb() : QColor(Qt::white);
    const double t = std::isnan(fraction) ? 1.0 : std::clamp(fraction, 0.0, 1.0);
    const auto mix = [t](float a, float b) { return a + t * (b - a); };
    return rgb(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()));
}

QColor material(bool dark)
{
    return dark ? QColor(58, 58, 62, 170) : QColor(250, 250, 252, 170);
}

QColor primaryText(bool dark)
{
    return dark ? QColor(255, 255, 255, 230) : QColor(0, 0, 0, 217);
}

QColor skin()
{
    return rgb(0.945, 0.847, 0.761);
}
QColor skinShade()
{
    return rgb(0.882, 0.769, 0.671);
}
QColor blush()
{
    return rgb(0.945, 0.659, 0.557);
}
QColor iris()
{
    return rgb(0.227, 0.157, 0.11);
}
QColor mouthOpening()
{
    return rgb(0.22, 0.10, 0.13);
}

QColor hair(AvatarGender gender)
{
    return gender == AvatarGender::female ? rgb(0.298, 0.196, 0.137) : rgb(0.18, 0.118, 0.082);
}

QColor hairGloss(AvatarGender gender)
{
    return gender == AvatarGender::female ? faded(rgb(0.435, 0.298, 0.22), 0.65) : faded(rgb(0.314, 0.22, 0.157), 0.55);
}

QColor lip(AvatarGender gender)
{
    return gender == AvatarGender::female ? rgb(0.808, 0.392, 0.345) : rgb(0.643, 0.345, 0.31);
}

QColor faded(QColor color, double opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

}  // namespace FacePalette
