#include "Analytics/RozeLogger.h"

#include "Support/Scheduler.h"

RozeLogger::RozeLogger(const Scheduler& clock, Sink sink) : m_clock(clock), m_sink(std::move(sink))
{
}

void RozeLogger::log(RozeSeverity severity, const QString& message, const QVariantMap& attributes)
{
    m_sink(RozeLogRecord{m_clock.wallNow(), severity, message, attributes});
}
