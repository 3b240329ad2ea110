#include "Pipeline/WakePhrase.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(WakePhrase, TheWakeWordTwiceOrWithAVerbWakesInAnyUnicodeForm)
{
    const QString decomposed = QStringLiteral("당근").normalized(QString::NormalizationForm_D);
    ASSERT_NE(decomposed, QStringLiteral("당근"));
    const struct {
        QString text;
        bool wakes;
    } cases[] = {
        {QStringLiteral("당근당근"), true},
        {QStringLiteral("음 당근 당근"), true},
        {decomposed + QStringLiteral(" ") + decomposed, true},
        {decomposed + QStringLiteral(" 당근"), true},
        {QStringLiteral("당근 일어나"), true},
        {QStringLiteral("이제 깨 당근"), true},
        {QStringLiteral("당근, 회의 끝났어"), true},
        {QStringLiteral("당근 복귀"), true},
        {QStringLiteral("당근"), false},
        {QStringLiteral("당근 케이크 먹을래"), false},
        {QStringLiteral("일어나 시작 출근"), false},
        {QStringLiteral("당"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WakePhrase::isWakeWord(c.text), c.wakes) << c.text.toStdString();
}

TEST(WakePhrase, OnlyTheLastEightyCharactersAreHeard)
{
    const QString filler(WakePhrase::kHeardChars, u'가');
    EXPECT_EQ(WakePhrase::recentPart(QStringLiteral("당근 당근 ") + filler), filler);
    EXPECT_EQ(WakePhrase::recentPart(filler.left(79) + QStringLiteral("당근")),
              filler.left(78) + QStringLiteral("당근"));
    // Clusters are kept whole: a flag is one character.
    EXPECT_EQ(WakePhrase::recentPart(QStringLiteral("🇰🇷") + filler.left(79)), QStringLiteral("🇰🇷") + filler.left(79));
    EXPECT_EQ(WakePhrase::recentPart(QStringLiteral("짧다")), QStringLiteral("짧다"));
}

}  // namespace
