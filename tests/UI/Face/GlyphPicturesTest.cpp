// Glyph pictures are drawn once and shared between threads: the font thread draws ahead while
// the window's thread asks for the same glyphs, in another order.
#include "UI/Face/Painting/GlyphPictures.h"

#include "Common/ImageChecks.h"

#include <QSet>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(GlyphPictures, AreSharedBetweenThreadsAndKeepTheirColours)
{
    // Colour emoji (one with a variation selector), a plain symbol and a character of the
    // text font.
    const QStringList glyphs{QStringLiteral("\U0001F525"), QStringLiteral("\u2615\uFE0F"), QStringLiteral("\U0001F4A1"),
                             QStringLiteral("\u203A"), QStringLiteral("A")};
    constexpr int kThreads = 4;
    std::vector<QList<QImage>> seen(kThreads);
    std::vector<std::thread> drawers;
    for (int t = 0; t < kThreads; ++t)
        drawers.emplace_back([&, t] {
            for (int i = 0; i < glyphs.size(); ++i)
                seen[t] << GlyphPictures::picture(glyphs[(i + t) % glyphs.size()]);
        });
    for (std::thread& drawer : drawers)
        drawer.join();

    for (int i = 0; i < glyphs.size(); ++i) {
        SCOPED_TRACE(glyphs[i].toStdString());
        const QImage kept = GlyphPictures::picture(glyphs[i]);
        EXPECT_EQ(kept.size(), QSize(GlyphPictures::kSide, GlyphPictures::kSide));
        EXPECT_FALSE(isBlank(kept));
        EXPECT_EQ(GlyphPictures::picture(glyphs[i]).cacheKey(), kept.cacheKey()) << "drawn again";
        for (int t = 0; t < kThreads; ++t)
            EXPECT_EQ(seen[t][(i - t + glyphs.size()) % glyphs.size()], kept) << "thread " << t;
    }
    // The flame is drawn in its own colours, not as one colour's silhouette.
    const QImage flame = GlyphPictures::picture(glyphs[0]);
    QSet<QRgb> colours;
    for (int y = 0; y < flame.height(); ++y)
        for (int x = 0; x < flame.width(); ++x)
            if (qAlpha(flame.pixel(x, y)) == 255)
                colours.insert(flame.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
}

}  // namespace
