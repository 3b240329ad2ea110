#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Glyphs (an emoji, a symbol character) drawn once, large, in their own colours, and kept while
// the program runs. The colour emoji font is slow to open, each of its glyphs is a picture to
// decode, and every size of it would be a font of its own: callers scale the one picture
// instead. Safe to use from any thread, so the pictures the first window shows can be drawn
// ahead on another.
namespace GlyphPictures {

// The side of every picture, and the share of it the glyph's size takes, centred.
constexpr int kSide = 128;
constexpr double kGlyphShare = 0.8;

QImage picture(const QString& glyph);
// Draws those not drawn yet, on the calling thread.
void drawAhead(const QStringList& glyphs);

}  // namespace GlyphPictures
