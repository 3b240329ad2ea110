#include "Pipeline/MicLevelMonitor.h"

#include <cmath>

MicLevelMonitor::MicLevelMonitor(QObject* parent) : QObject(parent)
{
}

void MicLevelMonitor::offer(double level)
{
    if (std::abs(level - m_level) >= kPublishStep)
        setLevel(level);
}

void MicLevelMonitor::setLevel(double level)
{
    if (level == m_level)
        return;
    m_level = level;
    emit levelChanged();
}
