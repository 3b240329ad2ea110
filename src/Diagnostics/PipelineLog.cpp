#include "Diagnostics/PipelineLog.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPipeline, "app.parlivox.pipeline")

QString PipelineLog::timeOfDay(Clock::time_point timestamp, TimePrecision precision)
{
    using namespace std::chrono;
    // Floor to whole seconds so moments before the epoch keep a positive fraction.
    const auto seconds = floor<std::chrono::seconds>(timestamp);
    const auto micros = duration_cast<microseconds>(timestamp - seconds).count();
    const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds.time_since_epoch().count(), Qt::LocalTime);
    QString text = local.toString(QStringLiteral("HH:mm:ss"));
    if (precision == TimePrecision::microseconds)
        text += QStringLiteral(".%1").arg(micros, 6, 10, QLatin1Char('0'));
    return text;
}

QString PipelineLog::Entry::line(TimePrecision precision) const
{
    return timeOfDay(timestamp, precision) + QStringLiteral(" [") + category + QStringLiteral("] ") + message;
}

PipelineLog::PipelineLog(const Scheduler& scheduler, QObject* parent) : QObject(parent), m_scheduler(scheduler)
{
}

void PipelineLog::record(const QString& category, const QString& message)
{
    if (!m_enabled)
        return;
    const Clock::time_point now = std::chrono::time_point_cast<Clock::duration>(m_scheduler.wallTime());
    const Entry entry{QUuid::createUuid(), now, category, message};
    m_entries.append(entry);
    emit entryAppended(entry);
    if (const qsizetype excess = m_entries.size() - m_maxEntries; excess > 0) {
        m_entries.remove(0, excess);
        emit entriesDropped(excess);
    }
    emit entriesChanged();
    qCInfo(lcPipeline, "[%s] %s", qUtf8Printable(category), qUtf8Printable(message));
    if (m_forwardSink)
        m_forwardSink(entry);
}

void PipelineLog::clear()
{
    if (m_entries.isEmpty())
        return;
    m_entries.clear();
    emit cleared();
    emit entriesChanged();
}

void PipelineLog::setMaxEntries(qsizetype maxEntries)
{
    m_maxEntries = std::max<qsizetype>(0, maxEntries);
}
