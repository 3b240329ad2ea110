#include "Support/ReferenceDate.h"

#include <gtest/gtest.h>

namespace {
const QDateTime kReference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}  // namespace

TEST(ReferenceDate, CountsSecondsFromTheStartOf2001InUtc)
{
    EXPECT_EQ(ReferenceDate::toSeconds(kReference), 0.0);
    EXPECT_EQ(ReferenceDate::toSeconds(kReference.addMSecs(10'250)), 10.25);
    EXPECT_EQ(ReferenceDate::toSeconds(kReference.addSecs(-86'400)), -86'400.0);
    EXPECT_EQ(ReferenceDate::toSeconds(QDateTime(QDate(2025, 5, 12), QTime(10, 30, 0, 500), Qt::UTC)), 768'738'600.5);
    // The same instant written in another zone counts the same.
    EXPECT_EQ(ReferenceDate::toSeconds(QDateTime(QDate(2001, 1, 1), QTime(9, 0), Qt::OffsetFromUTC, 9 * 3600)), 0.0);
}

TEST(ReferenceDate, ReadsBackAsUtcRoundedToTheMillisecond)
{
    const std::pair<double, QDateTime> cases[] = {
        {0.0, kReference},
        {768'738'600.5, QDateTime(QDate(2025, 5, 12), QTime(10, 30, 0, 500), Qt::UTC)},
        {10.2504, kReference.addMSecs(10'250)},
        {10.2496, kReference.addMSecs(10'250)},
        {-0.001, kReference.addMSecs(-1)},
    };
    for (const auto& [seconds, expected] : cases) {
        const QDateTime date = ReferenceDate::fromSeconds(seconds);
        EXPECT_EQ(date, expected) << seconds;
        EXPECT_EQ(date.timeSpec(), Qt::UTC) << seconds;
    }
}
