#pragma once

#include <QPainterPath>
#include <QRectF>

// The three outlines of the drawn face's hair, each one closed run of curves stretched to
// the rectangle it is given. Only the bangs' lower edge leaves the rectangle (it dips below).

// The female back hair: a crown with two long sides.
struct HairLongShape {
    static QPainterPath path(const QRectF& rect);
};

// The male back hair: a dome whose lower edge curves up into the face.
struct HairShortShape {
    static QPainterPath path(const QRectF& rect);
};

// The bangs of both genders: a dome whose lower edge bulges over the forehead.
struct HairBangsShape {
    static QPainterPath path(const QRectF& rect);
};
