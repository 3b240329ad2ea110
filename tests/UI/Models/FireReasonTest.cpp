// The tracking panel's badge of the end-of-turn detector's last fire.
#include "UI/Models/FireReason.h"

#include "Common/QtPrinters.h"
#include "Persistence/AppLanguage.h"

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
        const FireReason::Badge badge = FireReason::classify(QString::fromUtf8(c.reason), AppLanguage::korean);
        EXPECT_EQ(badge.label, QString::fromUtf8(c.label));
        EXPECT_EQ(badge.icon, QString::fromLatin1(c.icon));
        EXPECT_TRUE(badge.tint == c.tint);
    }
    EXPECT_EQ(FireReason::classify(QStringLiteral("manual fire button"), AppLanguage::korean).description,
              QStringLiteral("manual fire button"));
}

// The badge's line is told in the interface language; its label is the same in every one.
TEST(FireReason, TheDescriptionIsInTheInterfaceLanguage)
{
    const struct {
        const char* reason;
        const char* korean;
        const char* english;
    } cases[] = {
        {"dual-state lookAway 1s", "Spoke=yes + lookAway 1초 유지", "spoke, then looked away for 1 s"},
        {"look-away (primary, immediate)", "발화 시작 있음 → 0ms", "speech had started → 0ms"},
        {"transcript arrived during pending handoff", "lookaway 후 STT 도착", "transcript arrived after looking away"},
        {"silence + look-away (primary)", "VAD 침묵 시점에 lookaway", "looked away as the silence began"},
        {"predicted silence 820ms", "예측된 침묵 timer", "predicted silence timer"},
        {"transcript dwell 2500ms", "transcript 변화 없음 backstop", "transcript unchanged, backstop"},
        {"—", "첫 fire 대기", "waiting for the first fire"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const QString reason = QString::fromUtf8(c.reason);
        const FireReason::Badge korean = FireReason::classify(reason, AppLanguage::korean);
        const FireReason::Badge english = FireReason::classify(reason, AppLanguage::english);
        EXPECT_EQ(korean.description, QString::fromUtf8(c.korean));
        EXPECT_EQ(english.description, QString::fromUtf8(c.english));
        EXPECT_EQ(korean.label, english.label);
    }
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
