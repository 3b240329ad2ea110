#include "SpeechWatchdog/SpeechWatchdog.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct TimeoutCase {
    const char* name;
    QString text;
    std::optional<QString> localeID;
    double seconds;
};

void PrintTo(const TimeoutCase& c, std::ostream* out)
{
    *out << c.name;
}

class SpeechWatchdogCases : public testing::TestWithParam<TimeoutCase> {};

TEST_P(SpeechWatchdogCases, AllowsTimeByLanguageAndLength)
{
    const TimeoutCase& c = GetParam();
    EXPECT_NEAR(SpeechWatchdog::timeout(c.text, c.localeID), c.seconds, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpeechWatchdogCases,
    testing::Values(TimeoutCase{"KoreanTenCharactersMeetsTheFloor", QString(10, QChar(0xAC00)), "ko-KR", 10.0},
                    TimeoutCase{"KoreanHundredCharacters", QString(100, QChar(0xAC00)), "ko-KR", 100.0},
                    TimeoutCase{"EnglishTenCharacters", "abcdefghij", "en-US", 3.2},
                    TimeoutCase{"EnglishFiveCharactersRaisedToTheFloor", "abcde", "en-US", 3.0},
                    TimeoutCase{"JapaneseTwenty", QString(20, QChar(0x3042)), "ja-JP", 16.0},
                    TimeoutCase{"ChineseTwenty", QString(20, QChar(0x4F60)), "zh-CN", 22.4},
                    TimeoutCase{"EmptyTextCountsAsOneInEnglish", "", "en-US", 3.0},
                    TimeoutCase{"EmptyTextCountsAsOneInKorean", "", "ko-KR", 10.0},
                    TimeoutCase{"NoLocaleIsTheGeneralRow", "abcdefghijklmnopqrstuvwxyz0123456789abcd", std::nullopt,
                                12.8},
                    TimeoutCase{"EmptyLocaleIsTheGeneralRow", QString(100, QChar(0xAC00)), "", 32.0},
                    TimeoutCase{"PrefixIsCaseSensitive", QString(100, QChar(0xAC00)), "KO-KR", 32.0},
                    TimeoutCase{"BareLanguageMatches", QString(100, QChar(0xAC00)), "ko", 100.0},
                    TimeoutCase{"SurroundingSpaceCountsBeyondTheFloor",
                                QStringLiteral("  ") + QString(36, u'x') + QStringLiteral("  "), "en-US", 12.8},
                    TimeoutCase{"EmojiClusterCountsOnce", QStringLiteral("👩‍💻").repeated(40), "en-US", 12.8}),
    [](const testing::TestParamInfo<TimeoutCase>& param) { return param.param.name; });

}  // namespace
