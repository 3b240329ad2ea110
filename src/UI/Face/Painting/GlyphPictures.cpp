#include "UI/Face/Painting/GlyphPictures.h"

#include <QFont>
#include <QHash>
#include <QMutex>
#include <QPainter>

namespace GlyphPictures {

namespace {
struct Drawn {
    QMutex mutex;
    QHash<QString, QImage> pictures;
};

Drawn& drawn()
{
    static Drawn kept;
    return kept;
}

QImage draw(const QString& glyph)
{
    QImage picture(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QFont font;
    font.setFamilies({QStringLiteral("Noto Color Emoji"), font.family()});
    font.setPixelSize(int(kSide * kGlyphShare));
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, glyph);
    return picture;
}
}  // namespace

QImage picture(const QString& glyph)
{
    Drawn& kept = drawn();
    {
        const QMutexLocker lock(&kept.mutex);
        if (const auto found = kept.pictures.constFind(glyph); found != kept.pictures.cend())
            return *found;
    }
    // Drawn outside the lock: a thread drawing ahead never holds up one that needs another.
    const QImage made = draw(glyph);
    const QMutexLocker lock(&kept.mutex);
    // Two threads may have drawn the same glyph at once; the first picture kept stays.
    if (const auto found = kept.pictures.constFind(glyph); found != kept.pictures.cend())
        return *found;
    return *kept.pictures.insert(glyph, made);
}

void drawAhead(const QStringList& glyphs)
{
    for (const QString& glyph : glyphs)
        picture(glyph);
}

}  // namespace GlyphPictures
