#include "UI/Talk/FaceCard.h"

#include "UI/App/AppContext.h"
#include "UI/Face/FaceAvatar.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/MicLevelBar.h"
#include "UI/Talk/TextStyle.h"

FaceCard::FaceCard(AppContext& context, QWidget* parent)
    : CardFrame(14, parent), m_context(context), m_face(new FaceAvatar(context.micLevel, context.scheduler, this)),
      m_level(new MicLevelBar(context, this))
{
    setObjectName(QStringLiteral("faceCard"));
    // The bubble's caption, in the talk page's caption style.
    m_face->setFont(TextStyle::font(TextStyle::Size::caption, QFont::Medium));
    setMinimumHeight(shortest);
    setMaximumHeight(tallest);
    recolour();
    connect(&context.theme, &Theme::appearanceChanged, this, &FaceCard::recolour);
}

void FaceCard::resizeEvent(QResizeEvent* event)
{
    CardFrame::resizeEvent(event);
    const int levelTop = height() - 10 - m_level->height();
    m_level->setGeometry(14, levelTop, width() - 28, m_level->height());
    m_face->setGeometry(rect().adjusted(1, 1, -1, -1));
    // The face ends above the level bar, however short the card.
    m_face->setClearBelow(m_face->geometry().bottom() + 1 - levelTop + 2);
}

void FaceCard::recolour()
{
    setColours(m_context.theme.color(ThemePalette::Token::surface), m_context.theme.color(ThemePalette::Token::border));
}
