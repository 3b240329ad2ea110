#include "SpeechWatchdog/SpeechWatchdog.h"

#include <gtest/gtest.h>

#include <optional>

TEST(SpeechWatchdog, AllowsTimeByLanguageAndLength)
{
    const QString hundredHangul(100, QChar(0xAC00));
    const struct {
        const char* name;
        QString text;
        std::optional<QString> localeID;
        double seconds;
    } cases[] = {
        {"Korean ten characters meets the floor", QString(10, QChar(0xAC00)), "ko-KR", 10.0},
        {"Korean hundred characters", hundredHangul, "ko-KR", 100.0},
        {"English ten characters", "abcdefghij", "en-US", 3.2},
        {"English five characters raised to the floor", "abcde", "en-US", 3.0},
        {"Japanese twenty", QString(20, QChar(0x3042)), "ja-JP", 16.0},
        {"Chinese twenty", QString(20, QChar(0x4F60)), "zh-CN", 22.4},
        {"empty text counts as one", "", "en-US", 3.0},
        {"no locale is the general row", "abcdefghijklmnopqrstuvwxyz0123456789abcd", std::nullopt, 12.8},
        {"empty locale is the general row", hundredHangul, "", 32.0},
        {"prefix is case sensitive", hundredHangul, "KO-KR", 32.0},
        {"bare language matches", hundredHangul, "ko", 100.0},
        {"surrounding space counts", QStringLiteral("  ") + QString(36, u'x') + QStringLiteral("  "), "en-US", 12.8},
        {"emoji cluster counts once", QStringLiteral("👩‍💻").repeated(40), "en-US", 12.8},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(SpeechWatchdog::timeout(c.text, c.localeID), c.seconds, 1e-9) << c.name;
}
