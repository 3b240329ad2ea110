#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

struct AppContext;
class FrameFeed;

// The live camera in the user's tile: the newest frame, mirrored like a looking glass,
// filling the card (cropped, never letter-boxed), grey when the grayscale setting is on, in
// a rounded frame whose border and badge show the gaze. It takes frames only while shown
// and repaints only for a new frame or a change of what it shows.
class CameraPreviewCard final : public QWidget {
    Q_OBJECT
public:
    explicit CameraPreviewCard(AppContext& context, QWidget* parent = nullptr);
    ~CameraPreviewCard() override;

    const QImage& picture() const { return m_picture; }

    // As tall as the face card beside it.
    QSize sizeHint() const override { return {200, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void takeFrame(const QImage& frame);
    void paintBadge(QPainter& painter, const QRectF& card, const QColor& colour);

    AppContext& m_context;
    std::unique_ptr<FrameFeed> m_feed;
    QImage m_picture;  // as it is painted: mirrored, grey when asked
};
