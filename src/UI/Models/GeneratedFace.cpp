#include "UI/Models/GeneratedFace.h"

#include "UI/Models/FaceAnimation.h"
#include "UI/Models/FacePalette.h"
#include "UI/Models/HairShapes.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

using namespace FacePalette;

namespace {

using Kind = FaceShape::Kind;
using Phase = ConversationPhase;

constexpr double kEyeBase = 0.06;  // E: the open eye's height
constexpr double kSides[] = {-1.0, 1.0};  // left first

// The box of w × h centred at (x, y), all in fractions of the face size.
QRectF box(double size, double x, double y, double w, double h)
{
    return {(x - w / 2) * size, (y - h / 2) * size, w * size, h * size};
}

FaceShape shape(Kind kind, const QRectF& frame, const QBrush& fill)
{
    FaceShape s;
    s.kind = kind;
    s.frame = frame;
    s.fill = fill;
    return s;
}

FaceShape hairShape(const QPainterPath& path, const QBrush& fill)
{
    FaceShape s = shape(Kind::path, path.boundingRect(), fill);
    s.path = path;
    return s;
}

QLinearGradient topToBottom(const QRectF& frame, const QList<QColor>& colors)
{
    QLinearGradient gradient(frame.center().x(), frame.top(), frame.center().x(), frame.bottom());
    for (qsizetype i = 0; i < colors.size(); ++i)
        gradient.setColorAt(double(i) / double(colors.size() - 1), colors[i]);
    return gradient;
}

// A blurred disc: full colour in the middle, half at the disc's edge, nothing `blur` beyond it.
FaceShape softDisc(const QPointF& centre, double radius, double blur, const QColor& color)
{
    const double outer = radius + blur;
    QRadialGradient gradient(centre, outer);
    gradient.setColorAt(0.0, color);
    gradient.setColorAt((radius - blur) / outer, color);
    gradient.setColorAt(radius / outer, faded(color, 0.5));
    gradient.setColorAt(1.0, Qt::transparent);
    return shape(Kind::ellipse, QRectF(centre - QPointF(outer, outer), centre + QPointF(outer, outer)), gradient);
}

void addHair(QList<FaceShape>& layers, AvatarGender gender, double size, bool back)
{
    const bool female = gender == AvatarGender::female;
    if (back) {
        const QRectF frame = female ? box(size, 0, -0.04, 0.78, 0.88) : box(size, 0, -0.20, 0.66, 0.40);
        layers << hairShape(female ? HairLongShape::path(frame) : HairShortShape::path(frame), hair(gender));
        return;
    }
    const QRectF bangs = female ? box(size, 0, -0.30, 0.52, 0.18) : box(size, 0, -0.32, 0.48, 0.12);
    const QBrush bangsFill =
        female ? QBrush(topToBottom(bangs, {blended(hair(gender), Qt::white, 0.06), hair(gender)})) : hair(gender);
    layers << hairShape(HairBangsShape::path(bangs), bangsFill);
    if (female) {
        FaceShape highlight = shape(Kind::capsule, box(size, 0.20, -0.08, 0.04, 0.34), hairGloss(gender));
        highlight.transform.rotate(-12.0);  // about the face centre
        layers << highlight;
    } else {
        layers << shape(Kind::capsule, box(size, 0.06, -0.30, 0.05, 0.06), hairGloss(gender));
    }
}

void addEyes(QList<FaceShape>& layers, const GeneratedFace::Look& look, double size)
{
    const double height = GeneratedFace::eyeHeight(look, size) / size;
    const double irisLift = look.phase == Phase::thinking ? -0.012 : 0.0;
    for (const double side : kSides) {
        const double x = 0.13 * side;
        FaceShape white = shape(Kind::capsule, box(size, x, -0.04, 0.105, height), Qt::white);
        white.outline = QPen(faded(Qt::black, 0.18), 0.8);
        layers << white;
        // Shown only in an eye open wide enough.
        const double shown = height * size > GeneratedFace::irisThreshold(size) ? 1.0 : 0.0;
        FaceShape iris = shape(Kind::ellipse, box(size, x, -0.04 + irisLift, 0.04, 0.04), FacePalette::iris());
        FaceShape catchLight = shape(Kind::ellipse, box(size, x - 0.008, -0.048 + irisLift, 0.012, 0.012), Qt::white);
        iris.opacity = catchLight.opacity = shown;
        layers << iris << catchLight;
    }
}

void addMouth(QList<FaceShape>& layers, const GeneratedFace::Look& look, double size)
{
    const auto mouth = GeneratedFace::mouthShape(look, size);
    const double w = mouth.width / size, h = mouth.height / size;
    const double y = 0.19 + mouth.offset / size;
    const double opening = std::max(h, 0.01);
    const QColor lipColor = lip(look.gender);
    layers << shape(Kind::capsule, box(size, 0, y, w, opening), mouthOpening());
    layers << shape(Kind::capsule, box(size, 0, y - opening / 2 - 0.003, w + 0.005, std::max(0.01, 0.2 * h)), lipColor);
    layers << shape(Kind::capsule, box(size, 0, y + opening / 2 + 0.004, w + 0.005, std::max(0.012, 0.25 * h)),
                    faded(lipColor, 0.85));
}

}  // namespace

GeneratedFace::MouthShape GeneratedFace::mouthShape(const Look& look, double size)
{
    const double level = std::clamp(look.level, 0.0, 1.0);
    const double s = FaceAnimation::talkingOpenness(look.speakingPhase);
    MouthShape shape;
    switch (look.phase) {
    case Phase::idle:
        shape = {0.18, 0.012, 0};
        break;
    case Phase::listening:
        shape = {0.18 + 0.05 * level, 0.012 + 0.05 * level, 0.012};
        break;
    case Phase::thinking:
        shape = {0.10, 0.014, -0.005};
        break;
    case Phase::speaking:
        shape = {0.20 + 0.06 * s, 0.038 + 0.052 * s, 0};
        break;
    case Phase::interrupted:
        shape = {0.16, 0.06, 0};
        break;
    case Phase::error:
        shape = {0.20, 0.012, -0.02};
        break;
    }
    return {shape.width * size, shape.height * size, shape.offset * size};
}

double GeneratedFace::eyeHeight(const Look& look, double size)
{
    switch (look.phase) {
    case Phase::idle:
        return 0.25 * kEyeBase * size;
    case Phase::interrupted:
        return 1.4 * kEyeBase * size;
    case Phase::error:
        return 1.2 * kEyeBase * size;
    default:
        return (look.blinkOpen ? 1.0 : 0.18) * kEyeBase * size;
    }
}

double GeneratedFace::browTilt(ConversationPhase phase)
{
    return phase == Phase::error ? 14.0 : phase == Phase::thinking ? -8.0 : 0.0;
}

QList<FaceShape> GeneratedFace::layers(const Look& look, double size)
{
    QList<FaceShape> layers;
    addHair(layers, look.gender, size, true);

    const QRectF faceBox = box(size, 0, 0, 0.60, 0.74);
    FaceShape face =
        shape(Kind::ellipse, faceBox, topToBottom(faceBox, {blended(skin(), Qt::white, 0.04), skin(), skinShade()}));
    face.outline = QPen(faded(skinShade(), 0.45), 0.5);
    layers << face;
    for (const double side : kSides)
        layers << softDisc(QPointF(0.155 * side, 0.075) * size, 0.03 * size, 0.012 * size, faded(blush(), 0.45));

    addHair(layers, look.gender, size, false);

    const double browLift = look.phase == Phase::thinking ? -0.018 : 0.0;
    for (const double side : kSides) {
        FaceShape brow = shape(Kind::capsule, box(size, 0, 0, 0.10, 0.018), faded(hair(look.gender), 0.85));
        brow.transform.translate(0.13 * side * size, (-0.10 + browLift) * size).rotate(-side * browTilt(look.phase));
        layers << brow;
    }
    addEyes(layers, look, size);
    layers << shape(Kind::ellipse, box(size, 0, 0.025, 0.04, 0.075), faded(skinShade(), 0.45));
    addMouth(layers, look, size);
    return layers;
}
