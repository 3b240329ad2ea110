#include "Pipeline/MicLevelMonitor.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MicLevelMonitor, PublishesOnlyChangesOfAtLeastTheStep)
{
    const struct {
        double shown;
        double offered;
        double published;
    } cases[] = {
        {0.30, 0.31, 0.30},  // 0.01: too small
        {0.30, 0.32, 0.32},
        // Exactly the step (from zero, so the difference is exact), and just short of it.
        {0.0, MicLevelMonitor::publishStep, MicLevelMonitor::publishStep},
        {MicLevelMonitor::publishStep, 0.0, 0.0},
        {0.0, std::nextafter(MicLevelMonitor::publishStep, 0.0), 0.0},
        {0.50, 0.45, 0.45},  // a fall is written like a rise
        {0.50, 0.489, 0.50},
        {0.0, 1.0, 1.0},
    };
    for (const auto& c : cases) {
        MicLevelMonitor monitor;
        monitor.setLevel(c.shown);
        QSignalSpy changes(&monitor, &MicLevelMonitor::levelChanged);
        monitor.offer(c.offered);
        EXPECT_DOUBLE_EQ(monitor.level(), c.published) << c.shown << " → " << c.offered;
        EXPECT_EQ(changes.count(), c.published != c.shown ? 1 : 0);
    }
}

TEST(MicLevelMonitor, SessionEndShowsSilenceEvenAfterALoudBuffer)
{
    MicLevelMonitor monitor;
    monitor.offer(0.9);
    QSignalSpy changes(&monitor, &MicLevelMonitor::levelChanged);
    monitor.setLevel(0.0);
    EXPECT_EQ(monitor.level(), 0.0);
    EXPECT_EQ(changes.count(), 1);
    monitor.setLevel(0.0);
    EXPECT_EQ(changes.count(), 1);
}

}  // namespace
