#include "UI/Kit/SymbolIconEngine.h"

#include "UI/Face/Painting/GlyphPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

SymbolIconEngine::SymbolIconEngine(QIcon themeIcon, QString fallbackGlyph, QColor tint)
    : m_themeIcon(std::move(themeIcon)), m_fallbackGlyph(std::move(fallbackGlyph)), m_tint(std::move(tint))
{
}

void SymbolIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QImage image = render(rect.size() * scale, mode);
    image.setDevicePixelRatio(scale);
    painter->drawImage(rect, image);
}

QPixmap SymbolIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    return QPixmap::fromImage(render(size, mode));
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale)
{
    QPixmap pixmap = QPixmap::fromImage(render(size * scale, mode));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QIconEngine* SymbolIconEngine::clone() const
{
    return new SymbolIconEngine(m_themeIcon, m_fallbackGlyph, m_tint);
}

QString SymbolIconEngine::key() const
{
    return QStringLiteral("SymbolIconEngine");
}

QColor SymbolIconEngine::tintFor(QIcon::Mode mode) const
{
    const QPalette palette = QGuiApplication::palette();
    QColor colour = m_tint.isValid() ? m_tint : palette.color(QPalette::WindowText);
    if (mode == QIcon::Disabled)
        colour.setAlphaF(colour.alphaF() * 0.4f);
    return colour;
}

QImage SymbolIconEngine::render(const QSize& size, QIcon::Mode mode) const
{
    constexpr std::size_t kKept = 6;
    const QColor tint = tintFor(mode);
    const quint64 key = quint64(quint16(size.width())) << 48 | quint64(quint16(size.height())) << 32 | tint.rgba();
    for (const auto& [renderedKey, rendered] : m_rendered)
        if (renderedKey == key)
            return rendered;
    if (m_rendered.size() == kKept)
        m_rendered.clear();
    QImage image = draw(size, tint);
    m_rendered.emplace_back(key, image);
    return image;
}

QImage SymbolIconEngine::draw(const QSize& size, const QColor& tint) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (size.isEmpty())
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_themeIcon.isNull()) {
        m_themeIcon.paint(&painter, image.rect());
    } else {
        const int side = std::min(size.width(), size.height());
        QRect square(0, 0, side, side);
        square.moveCenter(image.rect().center());
        painter.drawImage(square, GlyphPictures::picture(m_fallbackGlyph)
                                      .scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    // Both become a silhouette in the tint, like the desktop's symbolic icons.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), tint);
    return image;
}
