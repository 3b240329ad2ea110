#pragma once

#include <QColor>
#include <QIcon>
#include <QIconEngine>
#include <QImage>

#include <utility>
#include <vector>

// Paints one symbol: the desktop theme's icon when it has one, else a drawn stand-in (the
// outline of an emoji glyph), so a missing icon never leaves a button blank. Either is drawn
// as a silhouette in the given colour, or in the application's text colour at paint time, so
// it stays visible when the appearance turns dark. The last few pictures are kept, since
// buttons ask for the same one on every repaint.
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
    QImage draw(const QSize& size, const QColor& tint) const;
    QColor tintFor(QIcon::Mode mode) const;

    QIcon m_themeIcon;
    QString m_fallbackGlyph;
    QColor m_tint;
    // By size and colour: a handful of sizes and modes, all dropped when a seventh is asked for.
    mutable std::vector<std::pair<quint64, QImage>> m_rendered;
};
