#include "UI/Kit/ElidedLabel.h"

#include "UI/Kit/Caption.h"
#include "UI/Kit/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

ElidedLabel::ElidedLabel(Theme& theme, const QFont& font, TextTint tint, Qt::TextElideMode mode, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_tint(tint), m_mode(mode)
{
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(&theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
}

void ElidedLabel::setText(const QString& text)
{
    m_text = text;
    rename();
    updateGeometry();
    update();
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(m_text, m_mode, width());
}

void ElidedLabel::rename()
{
    Caption::name(*this, m_text, QString(), shownText() == m_text);
}

QSize ElidedLabel::sizeHint() const
{
    // Rounded up: a width rounded down from a fractional one would cut the text it measures.
    return QSize(qCeil(QFontMetricsF(font()).horizontalAdvance(m_text)), fontMetrics().height());
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("…")), fontMetrics().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rename();
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_tint.resolve(palette().color(QPalette::WindowText), m_theme.isDark()));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}
