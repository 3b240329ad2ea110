#include "UI/Models/HairShapes.h"

namespace {
// A point given as fractions of the rectangle's width and height from its top-left corner.
struct At {
    const QRectF& rect;
    QPointF operator()(double x, double y) const
    {
        return {rect.left() + x * rect.width(), rect.top() + y * rect.height()};
    }
};

// A dome from (inset, baseline) to (1 - inset, baseline) whose lower edge bends through `lowerControl`.
QPainterPath dome(const QRectF& rect, double inset, double baseline, double lowerControl)
{
    const At at{rect};
    QPainterPath path(at(inset, baseline));
    path.cubicTo(at(-0.05, -0.10), at(1.05, -0.10), at(1.0 - inset, baseline));
    path.quadTo(at(0.5, lowerControl), at(inset, baseline));
    path.closeSubpath();
    return path;
}
}  // namespace

QPainterPath HairLongShape::path(const QRectF& rect)
{
    const At at{rect};
    QPainterPath path(at(0.02, 0.55));
    path.cubicTo(at(0.05, -0.05), at(0.95, -0.05), at(0.98, 0.55));
    path.cubicTo(at(1.0, 0.70), at(0.94, 0.85), at(0.90, 0.95));
    path.quadTo(at(0.5, 1.02), at(0.10, 0.95));
    path.cubicTo(at(0.06, 0.85), at(0.0, 0.70), at(0.02, 0.55));
    path.closeSubpath();
    return path;
}

QPainterPath HairShortShape::path(const QRectF& rect)
{
    return dome(rect, 0.08, 1.0, 0.82);
}

QPainterPath HairBangsShape::path(const QRectF& rect)
{
    return dome(rect, 0.04, 0.85, 1.30);
}
