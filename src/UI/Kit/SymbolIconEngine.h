#pragma once

#include <QColor>
#include <QIcon>
#include <QIconEngine>

// Paints one symbol: the desktop theme's icon when it has one, else a drawn stand-in (the
// outline of an emoji glyph), so a missing icon never leaves a button blank. Either is drawn
// as a silhouette in the given colour, or in the application's text colour at paint time, so
// it stays visible when the appearance turns dark.
class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QIcon themeIcon, QString fallbackGlyph, QColor tint = QColor());

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine* clone() const override;
    QString key() const override;

private:
    QImage render(const QSize& size, QIcon::Mode mode) const;
    QColor tintFor(QIcon::Mode mode) const;

    QIcon m_themeIcon;
    QString m_fallbackGlyph;
    QColor m_tint;
};
