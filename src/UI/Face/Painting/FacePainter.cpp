#include "UI/Face/Painting/FacePainter.h"

#include "UI/Face/Painting/BoxBlur.h"
#include "UI/Face/Painting/GlyphPictures.h"
#include "UI/Models/FacePalette.h"

#include <QConicalGradient>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kCachedImageLimit = 24;  // a few sizes of every colour

QRectF square(const QPointF& centre, double side)
{
    return {centre.x() - side / 2, centre.y() - side / 2, side, side};
}

QFont emojiFont(double pixelSize)
{
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    return font;
}

double pixelRatio(const QPainter& painter)
{
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// A transparent square image of at least `pixels` on each side.
QImage canvas(double pixels)
{
    const int side = int(std::ceil(pixels));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

void FacePainter::paint(QPainter& painter, const Frame& frame, const QImage& pictureImage)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    painter.translate(0, frame.bobOffset);
    const QPointF centre = frame.area.center();
    const double size = frame.size;

    for (const Frame::Glow& halo : frame.leavingHalos) {
        painter.setOpacity(halo.opacity);
        softDisc(painter, centre, size, 22, halo.color, true);
    }
    painter.setOpacity(frame.haloOpacity);
    softDisc(painter, centre, size, 22, frame.phaseColor, true);
    painter.setOpacity(1.0);
    switch (frame.body) {
    case Frame::Body::generated:
        shapes(painter, frame, centre);
        break;
    case Frame::Body::animal:
        backingDisc(painter, centre, size, frame.material);
        emoji(painter, frame, centre);
        break;
    case Frame::Body::picture:
        backingDisc(painter, centre, size, frame.material);
        picture(painter, frame, centre, pictureImage);
        if (frame.glow) {
            painter.setOpacity(frame.glow->opacity);
            softDisc(painter, centre + QPointF(0, 0.2 * size), 0.3 * size, 16, frame.glow->color, true);
            painter.setOpacity(1.0);
        }
        break;
    }
    ring(painter, frame, centre);
    bubble(painter, frame);
    painter.restore();
}

void FacePainter::softDisc(QPainter& painter, const QPointF& centre, double diameter, double blur, const QColor& color,
                           bool conic)
{
    const double ratio = pixelRatio(painter);
    const double margin = 3 * blur;
    const double side = diameter + 2 * margin;
    const QString key =
        QStringLiteral("disc %1 %2 %3 %4 %5 %6").arg(diameter).arg(blur).arg(color.rgba()).arg(conic).arg(ratio);
    const QImage& disc = cached(key, [&] {
        // The blur hides any detail finer than a quarter of its radius, so the disc is made
        // and blurred that much smaller, then enlarged: a resize costs a few milliseconds.
        const double reduction = std::max(1.0, std::floor(blur * ratio / 4));
        QImage small = canvas(side * ratio / reduction);
        QPainter p(&small);
        p.scale(ratio / reduction, ratio / reduction);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QPointF middle(side / 2, side / 2);
        if (conic) {
            // Transparent at the start and end of the turn, half opaque half way round.
            QConicalGradient gradient(middle, 0);
            gradient.setColorAt(0.0, FacePalette::faded(color, 0.0));
            gradient.setColorAt(0.5, FacePalette::faded(color, 0.5));
            gradient.setColorAt(1.0, FacePalette::faded(color, 0.0));
            p.setBrush(gradient);
        } else {
            p.setBrush(color);
        }
        p.drawEllipse(square(middle, diameter));
        p.end();
        boxBlur(small, blur * ratio / reduction);
        const int pixels = int(std::ceil(side * ratio));
        QImage image = small.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
        return image;
    });
    // At whole device pixels, so the large image is copied rather than resampled.
    const QTransform& transform = painter.transform();
    const QPointF corner = transform.map(centre - QPointF(side / 2, side / 2));
    painter.drawImage(transform.inverted().map(QPointF(std::round(corner.x()), std::round(corner.y()))), disc);
}

void FacePainter::backingDisc(QPainter& painter, const QPointF& centre, double size, const QColor& material)
{
    const double diameter = 0.92 * size;
    softDisc(painter, centre + QPointF(0, 6), diameter, 14, FacePalette::faded(Qt::black, 0.15), false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(material);
    painter.drawEllipse(square(centre, diameter));
}

void FacePainter::picture(QPainter& painter, const Frame& frame, const QPointF& centre, const QImage& source)
{
    const double ratio = pixelRatio(painter);
    const double diameter = 0.86 * frame.size;
    const QString key = QStringLiteral("picture %1 %2 %3").arg(source.cacheKey()).arg(diameter).arg(ratio);
    const QImage& round = cached(key, [&] {
        // Scaled to fill the circle, the overflow cropped.
        QImage image = canvas(diameter * ratio);
        image.setDevicePixelRatio(ratio);
        const int side = image.width();
        const QImage scaled = source.scaled(side, side, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath circle;
        circle.addEllipse(QRectF(0, 0, diameter, diameter));
        p.setClipPath(circle);
        p.drawImage(QRectF(0, 0, diameter, diameter), scaled,
                    QRectF((scaled.width() - side) / 2.0, (scaled.height() - side) / 2.0, side, side));
        return image;
    });
    painter.save();
    painter.translate(centre);
    painter.scale(frame.pictureScale, frame.pictureScale);
    const QRectF circle = square({0, 0}, diameter);
    painter.drawImage(circle, round);
    painter.setPen(QPen(FacePalette::faded(Qt::white, 0.55), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle.adjusted(1, 1, -1, -1));
    painter.restore();
}

void FacePainter::shapes(QPainter& painter, const Frame& frame, const QPointF& centre)
{
    const QTransform base = painter.transform();
    for (const FaceShape& shape : frame.faceLayers) {
        if (shape.opacity <= 0)
            continue;
        painter.setOpacity(shape.opacity);
        painter.setTransform(shape.transform * QTransform::fromTranslate(centre.x(), centre.y()) * base);
        painter.setPen(shape.outline);
        painter.setBrush(shape.fill);
        switch (shape.kind) {
        case FaceShape::Kind::ellipse:
            painter.drawEllipse(shape.frame);
            break;
        case FaceShape::Kind::capsule: {
            const double radius = std::min(shape.frame.width(), shape.frame.height()) / 2;
            painter.drawRoundedRect(shape.frame, radius, radius);
            break;
        }
        case FaceShape::Kind::path:
            painter.drawPath(shape.path);
            break;
        }
    }
    painter.setOpacity(1.0);
    painter.setTransform(base);
}

void FacePainter::emoji(QPainter& painter, const Frame& frame, const QPointF& centre)
{
    painter.save();
    painter.translate(centre);
    painter.scale(frame.emojiScale, frame.emojiScale);
    painter.setFont(emojiFont(0.62 * frame.size));
    painter.setPen(frame.text);
    painter.drawText(square({0, 0}, frame.size), Qt::AlignCenter, frame.emoji);
    painter.restore();
}

void FacePainter::ring(QPainter& painter, const Frame& frame, const QPointF& centre)
{
    if (!frame.ring)
        return;
    // Stroked inside the circle's border.
    const double width = frame.ring->width;
    const double inset = width / 2;
    painter.setOpacity(frame.ring->opacity);
    painter.setPen(QPen(FacePalette::faded(frame.ring->color, 0.55), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(square(centre, 0.86 * frame.size).adjusted(inset, inset, -inset, -inset));
    painter.setOpacity(1.0);
}

void FacePainter::bubble(QPainter& painter, const Frame& frame)
{
    if (!frame.bubble || frame.bubble->opacity <= 0)
        return;
    const Frame::Bubble& bubble = *frame.bubble;
    // The emoji's glyph a tenth of the face high, from its picture: no emoji font of this size.
    const double symbolSide = 0.1 * frame.size / GlyphPictures::kGlyphShare;
    // The caption in the painter's font: the widget's, which its owner chooses.
    const QFontMetricsF captionMetrics(painter.font());
    const auto contentSize = [&](const Frame::Bubble::Mood& mood) {
        const bool captioned = !mood.caption.isEmpty();
        return QSizeF(symbolSide + (captioned ? 4 + captionMetrics.horizontalAdvance(mood.caption) : 0),
                      std::max(symbolSide, captioned ? captionMetrics.height() : 0));
    };
    // While a new mood comes in, the box goes from the old one's size to the new one's.
    QSizeF content = contentSize(bubble.mood);
    if (bubble.leaving) {
        const QSizeF old = contentSize(*bubble.leaving);
        content = old + (content - old) * bubble.arrival;
    }
    const double height = content.height() + 8;
    const double width = content.width() + 16;
    const double inset = 0.06 * frame.size;
    const QRectF box(frame.area.right() - inset - width, frame.area.top() + inset, width, height);

    painter.setOpacity(bubble.opacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(frame.material);
    painter.drawRoundedRect(box, height / 2, height / 2);
    const QRectF inner = box.adjusted(8, 4, -8, -4);
    if (bubble.leaving) {
        painter.setOpacity(bubble.opacity * (1 - bubble.arrival));
        mood(painter, frame, *bubble.leaving, inner, symbolSide);
    }
    painter.setOpacity(bubble.opacity * (bubble.leaving ? bubble.arrival : 1.0));
    mood(painter, frame, bubble.mood, inner, symbolSide);
    painter.setOpacity(1.0);
}

void FacePainter::mood(QPainter& painter, const Frame& frame, const Frame::Bubble::Mood& mood, const QRectF& inner,
                       double symbolSide)
{
    const int symbolPixels = std::max(1, int(std::lround(symbolSide * pixelRatio(painter))));
    const QImage& symbol = cached(QStringLiteral("bubble %1 %2").arg(mood.emoji).arg(symbolPixels), [&] {
        return GlyphPictures::picture(mood.emoji)
            .scaled(symbolPixels, symbolPixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    painter.drawImage(QRectF(inner.left(), inner.center().y() - symbolSide / 2, symbolSide, symbolSide), symbol);
    if (!mood.caption.isEmpty()) {
        painter.setPen(frame.text);
        painter.drawText(inner.adjusted(symbolSide + 4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, mood.caption);
    }
}

const QImage& FacePainter::cached(const QString& key, const std::function<QImage()>& make)
{
    if (const auto hit = m_images.constFind(key); hit != m_images.cend())
        return *hit;
    if (m_images.size() >= kCachedImageLimit)
        m_images.clear();
    return *m_images.insert(key, make());
}
