#include "Analytics/RozeRedOZA.h"

#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogUploader.h"
#include "Analytics/RozeLogger.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcClient, "app.parlivox.analytics")

RozeRedOZA::RozeRedOZA(Scheduler& scheduler) : m_scheduler(scheduler)
{
}

RozeRedOZA::~RozeRedOZA()
{
    close();
}

void RozeRedOZA::setup(const RozeConfig& config)
{
    if (m_uploader) {
        qCInfo(lcClient, "analytics client already running; setup ignored");
        return;
    }
    QString error;
    const auto endpoint = config.logsEndpoint(&error);
    if (!endpoint) {
        qCWarning(lcClient, "analytics client not started: %s", qPrintable(error));
        return;
    }
    m_uploader = std::make_unique<RozeLogUploader>(config, *endpoint, m_scheduler);
    m_logger = std::make_unique<RozeLogger>(
        m_scheduler, [uploader = m_uploader.get()](RozeLogRecord record) { uploader->add(record); });
}

void RozeRedOZA::close()
{
    m_logger.reset();
    m_uploader.reset();
}
