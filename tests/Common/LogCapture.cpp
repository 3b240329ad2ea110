#include "Common/LogCapture.h"

#include <atomic>

namespace {
// One capture at a time: the message handler is process-wide.
std::atomic<LogCapture*> active = nullptr;
}  // namespace

LogCapture::LogCapture(QString category) : m_category(std::move(category))
{
    Q_ASSERT_X(!active.load(), "LogCapture", "only one capture may be active");
    active = this;
    m_previous = qInstallMessageHandler(&LogCapture::handle);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    active = nullptr;
}

void LogCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogCapture* capture = active;
    if (!capture)
        return;
    if (context.category && capture->m_category == QLatin1String(context.category)) {
        std::lock_guard lock(capture->m_mutex);
        capture->m_lines.append({type, message});
    } else if (capture->m_previous) {
        capture->m_previous(type, context, message);
    }
}

QList<LogCapture::Line> LogCapture::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

QStringList LogCapture::messages() const
{
    QStringList result;
    for (const Line& line : lines())
        result.append(line.message);
    return result;
}

void LogCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}
