#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

// What the user's tile shows in place of the camera: a large symbol and a caption on a faint
// rounded card.
class CameraPlaceholder final : public QWidget {
    Q_OBJECT
public:
    explicit CameraPlaceholder(QWidget* parent = nullptr);

    void setContent(const QString& symbol, const QString& caption, const QColor& secondary);

    // As tall as the face card beside it.
    QSize sizeHint() const override { return {200, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_symbol;
    QLabel* m_caption;
    QColor m_secondary;
};
