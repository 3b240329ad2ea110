#include "UI/Kit/ThemeStyle.h"

#include "UI/Kit/Icons.h"

#include <QPainter>
#include <QStyleOption>

ThemeStyle::ThemeStyle(const QString& baseStyle) : QProxyStyle(baseStyle)
{
}

void ThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool focused = option->state & State_HasFocus;
    qreal radius = 0;
    switch (element) {
    case PE_IndicatorCheckBox:
        break;
    case PE_IndicatorRadioButton:
        radius = option->rect.width() / 2.0;
        break;
    case PE_FrameLineEdit:
    case PE_PanelButtonCommand:
        // The base style rings these in the highlight while focused.
        if (focused)
            return;
        radius = 2;
        break;
    default:
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(option->palette.color(QPalette::Mid), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

QIcon ThemeStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option, const QWidget* widget) const
{
    switch (standardIcon) {
    case SP_ToolBarHorizontalExtensionButton:
        return Icons::symbol(QStringLiteral("chevron.right"));
    case SP_ToolBarVerticalExtensionButton:
        return Icons::symbol(QStringLiteral("chevron.down"));
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
