#pragma once

#include "UI/Models/FaceAvatarModel.h"

#include <QHash>
#include <QImage>

#include <functional>

class QPainter;

// Paints frames of the face avatar into any painter (a widget or an image). The blurred
// halos, shadows and the circular picture are drawn once per size and colour and kept, so a
// frame costs only the shapes on top. Use one painter object per view, on one thread.
class FacePainter {
public:
    // `picture` is the custom picture for a frame whose body is one.
    void paint(QPainter& painter, const FaceAvatarModel::Frame& frame, const QImage& picture = {});

private:
    using Frame = FaceAvatarModel::Frame;

    // A disc of `diameter` blurred by `blur`, centred at `centre`; `conic` fills it with the
    // halo's gradient, otherwise with the plain colour.
    void softDisc(QPainter& painter, const QPointF& centre, double diameter, double blur, const QColor& color,
                  bool conic);
    void backingDisc(QPainter& painter, const QPointF& centre, double size, const QColor& material);
    void picture(QPainter& painter, const Frame& frame, const QPointF& centre, const QImage& picture);
    static void shapes(QPainter& painter, const Frame& frame, const QPointF& centre);
    static void emoji(QPainter& painter, const Frame& frame, const QPointF& centre);
    static void ring(QPainter& painter, const Frame& frame, const QPointF& centre);
    void bubble(QPainter& painter, const Frame& frame);
    // One mood's emoji and caption, from the left of `inner`.
    void mood(QPainter& painter, const Frame& frame, const Frame::Bubble::Mood& mood, const QRectF& inner,
              double symbolSide);

    const QImage& cached(const QString& key, const std::function<QImage()>& make);

    QHash<QString, QImage> m_images;
};
