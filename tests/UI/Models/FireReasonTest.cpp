// The tracking panel's badge of the end-of-turn detector's last fire.
#include "UI/Models/FireReason.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

using ThemePalette::Named;

TEST(FireReason, TheFirstRuleWhoseFragmentTheReasonHoldsDecides)
{
    const struct {
        const char* reason;
        const char* label;
        const char* icon;
        TextTint tint;
    } cases[] = {
        {"dual-state lookAway 1s", "DUAL-STATE (1s)", "lock.shield.fill", Named::indigo},
        {"dual-state after predicted silence 820ms", "DUAL-STATE (1s)", "lock.shield.fill", Named::indigo},
        {"look-away (primary, immediate)", "LOOK-AWAY (instant)", "eye.slash.fill", Named::pink},
        {"transcript arrived during pending handoff", "LOOK-AWAY → STT-late", "clock.arrow.circlepath", Named::orange},
        {"silence + look-away (primary)", "SILENCE + LOOK-AWAY", "waveform.slash", Named::purple},
        {"Silence + look-away (primary)", "OTHER", "questionmark.circle", TextTint::secondary()},
        {"predicted silence 820ms", "SILENCE (timer)", "timer", Named::blue},
        {"transcript dwell 2500ms", "DWELL backstop", "hourglass", Named::gray},
        {"—", "none yet", "circle.dashed", TextTint::secondary()},
        {"— ", "OTHER", "questionmark.circle", TextTint::secondary()},
        {"look-away (primary, debounced)", "OTHER", "questionmark.circle", TextTint::secondary()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const FireReason::Badge badge = FireReason::classify(QString::fromUtf8(c.reason));
        EXPECT_EQ(badge.label, QString::fromUtf8(c.label));
        EXPECT_EQ(badge.icon, QString::fromLatin1(c.icon));
        EXPECT_TRUE(badge.tint == c.tint);
    }
    EXPECT_EQ(FireReason::classify(QStringLiteral("—")).description, QStringLiteral("첫 fire 대기"));
    EXPECT_EQ(FireReason::classify(QStringLiteral("manual fire button")).description,
              QStringLiteral("manual fire button"));
}

TEST(FireReason, AgeIsWholeMillisecondsCutTowardZeroAndMayBeNegative)
{
    using namespace std::chrono;
    const QDateTime fired(QDate(2026, 1, 5), QTime(9, 0));
    const system_clock::time_point fireMoment(milliseconds(fired.toMSecsSinceEpoch()));
    const struct {
        microseconds sinceFire;
        const char* text;
    } cases[] = {
        {microseconds(0), "0ms ago"},
        {microseconds(1'234'900), "1234ms ago"},
        {microseconds(-40'000), "-40ms ago"},
        {microseconds(-40'900), "-40ms ago"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FireReason::ageText(fired, fireMoment + c.sinceFire), QString::fromLatin1(c.text));
    EXPECT_EQ(FireReason::ageText(std::nullopt, fireMoment), QStringLiteral("—"));
}
