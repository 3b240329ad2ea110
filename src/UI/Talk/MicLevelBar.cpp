#include "UI/Talk/MicLevelBar.h"

#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/MicLevelMeter.h"

#include <QPainter>

MicLevelBar::MicLevelBar(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("micLevelBar"));
    setFixedHeight(4);
    connect(&context.micLevel, &MicLevelMonitor::levelChanged, this, qOverload<>(&QWidget::update));
    connect(&context.engine, &EngineState::enabledChanged, this, qOverload<>(&QWidget::update));
    connect(&context.theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
}

void MicLevelBar::paintEvent(QPaintEvent*)
{
    const bool dark = m_context.theme.isDark();
    const double level = m_context.micLevel.level();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = height() / 2.0;
    painter.setBrush(MicLevelMeter::trackColor(dark));
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    painter.setBrush(MicLevelMeter::fillColor(level, m_context.engine.isEnabled(), dark));
    painter.drawRoundedRect(QRectF(0, 0, MicLevelMeter::fillWidth(level, width()), height()), radius, radius);
}
