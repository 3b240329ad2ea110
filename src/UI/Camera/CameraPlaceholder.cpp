#include "UI/Camera/CameraPlaceholder.h"

#include "UI/Kit/Icons.h"
#include "UI/Models/ThemePalette.h"
#include "UI/Talk/TextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 36;
}

CameraPlaceholder::CameraPlaceholder(QWidget* parent)
    : QWidget(parent), m_symbol(new QLabel(this)), m_caption(new QLabel(this))
{
    setObjectName(QStringLiteral("cameraPlaceholder"));
    m_caption->setObjectName(QStringLiteral("cameraPlaceholderCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    TextStyle::apply(*m_caption, TextStyle::Size::caption);
    m_symbol->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    // Centred by the stretches: no margin above or below, so it fits the tile's shortest picture.
    layout->setContentsMargins(9, 0, 9, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(m_symbol);
    layout->addWidget(m_caption);
    layout->addStretch(1);
}

void CameraPlaceholder::setContent(const QString& symbol, const QString& caption, const QColor& secondary)
{
    m_secondary = secondary;
    m_symbol->setPixmap(Icons::symbol(symbol, secondary).pixmap(symbolSize, symbolSize));
    m_caption->setText(caption);
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::WindowText, secondary);
    m_caption->setPalette(palette);
    update();
}

void CameraPlaceholder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ThemePalette::withAlpha(m_secondary, 0.06));
    painter.drawRoundedRect(QRectF(rect()), 14, 14);
}
