#include "UI/Talk/ModeStageBadge.h"

#include "UI/Models/ThemePalette.h"
#include "UI/Talk/TextStyle.h"

#include <QPainter>

ModeStageBadge::ModeStageBadge(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("modeStageBadge"));
    QFont font = TextStyle::font(TextStyle::Size::tiny, QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    setFont(font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ModeStageBadge::setBadge(const ModeInfo::Badge& badge)
{
    m_badge = badge;
    setAccessibleName(badge.accessibleName);
    updateGeometry();
    update();
}

QSize ModeStageBadge::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_badge.text) + 16, fontMetrics().height() + 6};
}

void ModeStageBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = box.height() / 2;
    painter.setPen(QPen(ThemePalette::withAlpha(m_badge.colour, 0.6), 1));
    painter.setBrush(m_badge.colour);
    painter.drawRoundedRect(box, radius, radius);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, m_badge.text);
}
