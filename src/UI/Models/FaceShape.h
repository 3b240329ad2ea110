#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>

// One filled (and maybe outlined) shape of the drawn face, in coordinates whose origin is
// the face centre; `transform` places it there (rotations included).
struct FaceShape {
    enum class Kind { ellipse, capsule, path };
    Kind kind = Kind::ellipse;
    QRectF frame;  // the box the ellipse or capsule fills
    QPainterPath path;  // the outline, for Kind::path
    QBrush fill;
    QPen outline = Qt::NoPen;
    QTransform transform;
    double opacity = 1.0;  // 0: not shown (an iris in a shut eye), kept so faces blend layer by layer
};
