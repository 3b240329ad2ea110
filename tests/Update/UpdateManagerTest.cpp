#include "Update/UpdateManager.h"

#include "Common/FakeScheduler.h"
#include "Common/FakeUpdater.h"
#include "Common/QtPrinters.h"

#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
TEST(UpdateManager, publishesTheUpdatersFlagsOnTheNextTurn)
{
    FakeScheduler scheduler;
    FakeUpdater updater;
    updater.canCheck = false;
    updater.checks = false;
    updater.downloads = true;
    UpdateManager manager(updater, scheduler);
    EXPECT_EQ(updater.started, 1);
    EXPECT_FALSE(manager.automaticallyChecks());
    EXPECT_TRUE(manager.downloadsAutomatically());
    EXPECT_TRUE(updater.checksWritten.isEmpty()) << "start-up values are not written back";
    QSignalSpy canCheck(&manager, &UpdateManager::canCheckNowChanged);

    enum class Act { nothing, turn, reportCan, reportCannot };
    struct Step {
        Act act;
        bool canCheckNow;
        int announcements;
    };
    const Step steps[] = {
        {Act::nothing, true, 0},  // true until the first value arrives
        {Act::turn, false, 1},      {Act::reportCan, false, 1}, {Act::reportCannot, false, 1},
        {Act::turn, false, 1},  // can, then cannot, before delivery: the newest value wins
        {Act::reportCan, false, 1}, {Act::turn, true, 2},
    };
    for (const Step& step : steps) {
        if (step.act == Act::turn)
            scheduler.runDue();
        else if (step.act != Act::nothing)
            updater.reportCanCheck(step.act == Act::reportCan);
        EXPECT_EQ(manager.canCheckNow(), step.canCheckNow);
        EXPECT_EQ(canCheck.count(), step.announcements);
    }

    QSignalSpy checks(&manager, &UpdateManager::automaticallyChecksChanged);
    manager.setAutomaticallyChecks(true);
    manager.setAutomaticallyChecks(true);
    manager.setAutomaticallyChecks(false);
    EXPECT_EQ(updater.checksWritten, (QList<bool>{true, true, false})) << "every set is written";
    EXPECT_EQ(checks.count(), 3);
    manager.setDownloadsAutomatically(false);
    EXPECT_FALSE(updater.downloads);
}

TEST(UpdateManager, lastCheckLabel)
{
    FakeScheduler scheduler;
    FakeUpdater updater;
    UpdateManager manager(updater, scheduler);
    EXPECT_EQ(manager.lastCheckLabel(), QStringLiteral("—"));
    const QDateTime when(QDate(2026, 3, 4), QTime(15, 6), Qt::UTC);
    updater.lastCheck = when;
    EXPECT_EQ(manager.lastCheckLabel(), QLocale().toString(when.toLocalTime(), QLocale::ShortFormat));
    manager.checkForUpdates();
    EXPECT_EQ(updater.checkRequests, 1);
}

}  // namespace
