// The tracking panel's values: their texts, colours and bands.
#include "UI/Models/TrackingReadout.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

using ThemePalette::Named;

TEST(TrackingReadout, MicLevelIsClampedAndTurnsGreenFromFiveHundredths)
{
    const struct {
        double level;
        double fraction;
        const char* text;
        TextTint textTint;
        TextTint fill;
    } cases[] = {
        {1.7, 1.0, "1.00", Named::green, Named::green},
        {-0.2, 0.0, "0.00", TextTint::secondary(), Named::gray},
        {0.05, 0.05, "0.05", Named::green, Named::green},
        {0.049, 0.049, "0.05", TextTint::secondary(), Named::gray},
        {std::numeric_limits<double>::quiet_NaN(), 0.0, "0.00", TextTint::secondary(), Named::gray},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        const TrackingReadout::Meter meter = TrackingReadout::micLevel(c.level);
        EXPECT_DOUBLE_EQ(meter.fraction, c.fraction);
        EXPECT_EQ(meter.text, QString::fromLatin1(c.text));
        EXPECT_TRUE(meter.textTint == c.textTint);
        EXPECT_TRUE(meter.fillTint == c.fill);
    }
}

TEST(TrackingReadout, ValuesReadAsTheirFormatsInTheirBands)
{
    const AppLanguage en = AppLanguage::english;
    const AppLanguage ko = AppLanguage::korean;
    const struct {
        const char* what;
        TrackingReadout::Value value;
        const char* text;
        TextTint tint;
    } cases[] = {
        {"idle", TrackingReadout::phase(ConversationPhase::idle, en), "Idle", TextTint::secondary()},
        {"speaking", TrackingReadout::phase(ConversationPhase::speaking, ko), "말하는 중", Named::blue},
        {"yaw", TrackingReadout::angle(0.1234), "+0.12 rad", TextTint::primary()},
        {"pitch", TrackingReadout::angle(-0.5), "-0.50 rad", TextTint::primary()},
        {"away", TrackingReadout::gaze(GazeStatus::lookingAway, en), "Looking away", Named::orange},
        {"no face", TrackingReadout::gaze(GazeStatus::noFace, ko), "얼굴 없음", TextTint::secondary()},
        {"graphemes", TrackingReadout::transcriptLength(QStringLiteral("안녕 👋🏽")), "4", TextTint::primary()},
        {"spoke", TrackingReadout::spoke(true, en), "yes", Named::green},
        {"camera off", TrackingReadout::camera(false, en), "off", TextTint::secondary()},
        {"face off", TrackingReadout::faceProcessing(0), "0.0 ms", TextTint::secondary()},
        {"face fast", TrackingReadout::faceProcessing(11.96), "12.0 ms", Named::green},
        {"face 12", TrackingReadout::faceProcessing(12), "12.0 ms", Named::blue},
        {"face 25", TrackingReadout::faceProcessing(25), "25.0 ms", Named::orange},
        {"face 50", TrackingReadout::faceProcessing(50), "50.0 ms", Named::red},
        {"cpu idle", TrackingReadout::cpu(0, 0, 1), "0.0% · 0.0/1 cores", Named::green},
        {"cpu 10", TrackingReadout::cpu(10, 80, 8), "10.0% · 0.8/8 cores", Named::blue},
        {"cpu 1.2 cores", TrackingReadout::cpu(15, 120, 8), "15.0% · 1.2/8 cores", Named::blue},
        {"cpu 50", TrackingReadout::cpu(50, 400, 8), "50.0% · 4.0/8 cores", Named::red},
        {"memory", TrackingReadout::memory(129'394'278), "123.4 MB", TextTint::primary()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.text, QString::fromUtf8(c.text));
        EXPECT_TRUE(c.value.tint == c.tint);
    }
}
