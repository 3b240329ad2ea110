#include "Update/UpdateManager.h"

#include "Update/Updater.h"

#include <QLocale>

UpdateManager::UpdateManager(Updater& updater, Scheduler& scheduler, QObject* parent)
    : QObject(parent), m_updater(updater), m_automaticallyChecks(updater.automaticallyChecksForUpdates()),
      m_downloadsAutomatically(updater.automaticallyDownloadsUpdates()), m_delivery(scheduler)
{
    updater.start();
    connect(&updater, &Updater::canCheckForUpdatesChanged, this, &UpdateManager::deliverCanCheck);
    connect(&updater, &Updater::checkFinished, this, &UpdateManager::checkFinished);
    deliverCanCheck();
}

void UpdateManager::setAutomaticallyChecks(bool on)
{
    m_automaticallyChecks = on;
    emit automaticallyChecksChanged();
    m_updater.setAutomaticallyChecksForUpdates(on);
}

void UpdateManager::setDownloadsAutomatically(bool on)
{
    m_downloadsAutomatically = on;
    emit downloadsAutomaticallyChanged();
    m_updater.setAutomaticallyDownloadsUpdates(on);
}

bool UpdateManager::isAvailable() const
{
    return m_updater.isAvailable();
}

QString UpdateManager::cannotCheckReason() const
{
    return m_updater.cannotCheckReason();
}

QString UpdateManager::lastCheckLabel() const
{
    const auto date = m_updater.lastUpdateCheckDate();
    if (!date)
        return QStringLiteral("—");
    return QLocale().toString(date->toLocalTime(), QLocale::ShortFormat);
}

void UpdateManager::checkForUpdates()
{
    m_updater.checkForUpdates();
}

void UpdateManager::deliverCanCheck()
{
    // Read when delivered, so the newest value wins when several changes come before it.
    m_delivery.start(std::chrono::milliseconds(0), [this] {
        const bool can = m_updater.canCheckForUpdates();
        if (can != m_canCheckNow) {
            m_canCheckNow = can;
            emit canCheckNowChanged();
        }
    });
}
