#include "STT/TranscriptMerger.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct MergeCase {
    const char* accumulated;
    const char* segment;
    const char* locale;
    const char* expected;
};

TEST(TranscriptMerger, JoinsSegmentsAsWholeWords)
{
    const MergeCase cases[] = {
        {"", "abc", "en-US", "abc"},
        {"hello", "", "en-US", "hello"},
        {"hello world", "world peace", "en-US", "hello world peace"},
        {"turn on the", "the lights", "en-US", "turn on the lights"},
        {"turn on the lights", "on the lights please", "en-US", "turn on the lights please"},
        {"hello world", "hello world", "en-US", "hello world"},
        // A shared letter is no shared word: nothing is glued or lost.
        {"turn on the", "every light", "en-US", "turn on the every light"},
        {"abc", "cde", "en-US", "abc cde"},
        {"hello", "often", "en-US", "hello often"},
        {"no", "I know", "en-US", "no I know"},
        {"good morning everyone", "morning", "en-US", "good morning everyone morning"},
        {"morning", "good morning everyone", "en-US", "morning good morning everyone"},
        {"Hello", "hello there", "en-US", "Hello hello there"},
        {"  hi  ", "\nthere", "en-US", "hi there"},
        {"안녕하세요", "요즘 어때", "ko-KR", "안녕하세요 요즘 어때"},
        // Canonically equal words match: "é" precomposed and decomposed.
        {"caf\xc3\xa9", "cafe\xcc\x81 au lait", "fr-FR", "caf\xc3\xa9 au lait"},
        // Languages written without spaces are joined without one.
        {"今日は", "いい天気", "ja-JP", "今日はいい天気"},
        {"你好", "世界", "zh-Hant", "你好世界"},
        {"你好", "世界", "yue_HK", "你好世界"},
    };
    for (const MergeCase& c : cases)
        EXPECT_EQ(TranscriptMerger::merge(QString::fromUtf8(c.accumulated), QString::fromUtf8(c.segment),
                                          QString::fromLatin1(c.locale)),
                  QString::fromUtf8(c.expected))
            << c.accumulated << " + " << c.segment;
}

TEST(TranscriptMerger, JoinAddsTheLanguagesSeparatorOnlyBetweenTexts)
{
    EXPECT_EQ(TranscriptMerger::join(QStringLiteral("good morning"), QStringLiteral("how"), QStringLiteral("en-US")),
              QStringLiteral("good morning how"));
    EXPECT_EQ(TranscriptMerger::join(QString(), QStringLiteral(" how "), QStringLiteral("en-US")),
              QStringLiteral("how"));
    EXPECT_EQ(TranscriptMerger::join(QStringLiteral("good"), QString(), QStringLiteral("en-US")),
              QStringLiteral("good"));
    EXPECT_EQ(TranscriptMerger::join(QStringLiteral("おはよう"), QStringLiteral("ございます"), QStringLiteral("ja")),
              QStringLiteral("おはようございます"));
}

}  // namespace
