#include "UI/Kit/FontWarmUp.h"

#include "UI/Face/Painting/GlyphPictures.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

FontWarmUp::FontWarmUp(QStringList glyphs)
    : m_thread([font = QGuiApplication::font(), glyphs = std::move(glyphs)] {
          QFontDatabase::families();
          // Latin and Hangul: the Korean interface draws both from its first frame.
          QFontMetrics(font).horizontalAdvance(QStringLiteral("Parlivox 대화"));
          GlyphPictures::drawAhead(glyphs);
      })
{
}

FontWarmUp::~FontWarmUp()
{
    m_thread.join();
}
