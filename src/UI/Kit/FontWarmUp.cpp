#include "UI/Kit/FontWarmUp.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

FontWarmUp::FontWarmUp()
    : m_thread([font = QGuiApplication::font()] {
          QFontDatabase::families();
          // Latin and Hangul: the Korean interface draws both from its first frame.
          QFontMetrics(font).horizontalAdvance(QStringLiteral("Parlivox 대화"));
      })
{
}

FontWarmUp::~FontWarmUp()
{
    m_thread.join();
}
