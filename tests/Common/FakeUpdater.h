#pragma once

#include "Update/Updater.h"

#include <QList>

// An updater that does nothing by itself: a test sets what it reports and sees what it was told.
class FakeUpdater final : public Updater {
public:
    bool checks = true;
    bool downloads = false;
    bool available = true;
    bool canCheck = true;
    std::optional<QDateTime> lastCheck;
    QList<bool> checksWritten;  // every value written to the automatic-check switch
    int started = 0;
    int checkRequests = 0;

    void start() override { ++started; }
    bool automaticallyChecksForUpdates() const override { return checks && available; }
    void setAutomaticallyChecksForUpdates(bool on) override { checksWritten << (checks = on); }
    bool automaticallyDownloadsUpdates() const override { return downloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override { downloads = on; }
    bool isAvailable() const override { return available; }
    bool canCheckForUpdates() const override { return canCheck && available; }
    QString cannotCheckReason() const override { return canCheckForUpdates() ? QString() : QStringLiteral("no feed"); }
    std::optional<QDateTime> lastUpdateCheckDate() const override { return lastCheck; }
    void checkForUpdates() override { ++checkRequests; }

    void reportCanCheck(bool can)
    {
        canCheck = can;
        emit canCheckForUpdatesChanged();
    }
};
