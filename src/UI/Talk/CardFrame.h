#pragma once

#include <QColor>
#include <QWidget>

// A rounded panel that holds a row: a fill, an optional border drawn inside its edge, and
// the row's layout inside. The colours are set by the owner (and again when the
// appearance changes).
class CardFrame : public QWidget {
    Q_OBJECT
public:
    // `radius` < 0 rounds the ends fully.
    explicit CardFrame(qreal radius, QWidget* parent = nullptr);

    void setColours(const QColor& fill, const QColor& border = QColor());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_radius;
    QColor m_fill;
    QColor m_border;
};
