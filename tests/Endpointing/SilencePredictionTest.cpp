#include "Endpointing/SilencePrediction.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// The timing used for Korean, Japanese and Chinese.
SilencePrediction cjk(QString transcript)
{
    return {.initialSilenceMs = 2500, .minSilenceMs = 1500, .maxSilenceMs = 8000, .transcript = std::move(transcript)};
}

TEST(SilencePrediction, WorkedExampleWithPausesConnectiveAndEngagedGaze)
{
    const std::vector<int> pauses = {600, 900};
    SilencePrediction p = cjk(QString(26, QChar(0xAC00)) + QStringLiteral(" 했는데"));  // 30 characters
    p.pauseSamplesMs = pauses;
    p.secondsSinceTurnStart = 10.0;
    p.gaze = GazeMachineState::engaged;
    p.gazeConfidence = 0.5;
    // (900 + 350 + 1200) × 1.35 = 3307.5, truncated.
    EXPECT_EQ(p.predictedMs(), 3307);
}

TEST(SilencePrediction, WorkedExampleWithFinalEndingSlowRateAndAvertedGaze)
{
    SilencePrediction p = cjk(QString(11, QChar(0xAC00)) + QStringLiteral(" 좋아요"));  // 15 characters
    p.secondsSinceTurnStart = 10.0;
    p.gaze = GazeMachineState::averted;
    // (2500 − 400 + 600) × 0.7 is just below 1890 in double precision.
    EXPECT_EQ(p.predictedMs(), 1889);
}

TEST(SilencePrediction, EachRuleInTurn)
{
    const QString tenChars = QStringLiteral("abcde fghi");
    const struct {
        const char* name;
        std::vector<int> pauses;
        QString transcript;
        std::optional<double> seconds;
        GazeMachineState gaze;
        double confidence;
        int minMs;
        int maxMs;
        int expected;
    } cases[] = {
        {"initial without pauses", {}, tenChars, {}, GazeMachineState::noFace, 0, 0, 99999, 1500},
        {"largest pause plus 350", {400, 1200, 800}, tenChars, {}, GazeMachineState::noFace, 0, 0, 99999, 1550},
        {"rate exactly two", {}, tenChars, 5.0, GazeMachineState::noFace, 0, 0, 99999, 1500},
        {"rate below two adds 600", {}, tenChars, 5.01, GazeMachineState::noFace, 0, 0, 99999, 2100},
        {"rate exactly six", {}, QString(12, u'x'), 2.0, GazeMachineState::noFace, 0, 0, 99999, 1500},
        {"rate above six takes 300", {}, QString(13, u'x'), 2.0, GazeMachineState::noFace, 0, 0, 99999, 1200},
        {"zero elapsed counts as a millisecond", {}, tenChars, 0.0, GazeMachineState::noFace, 0, 0, 99999, 1200},
        {"an empty transcript is slow", {}, QString(), 1.0, GazeMachineState::noFace, 0, 0, 99999, 2100},
        {"no face ignores confidence", {}, tenChars, {}, GazeMachineState::noFace, 1.0, 0, 99999, 1500},
        {"engaged scales by confidence", {}, tenChars, {}, GazeMachineState::engaged, 1.0, 0, 99999, 2550},
        {"averted shortens", {}, tenChars, {}, GazeMachineState::averted, 1.0, 0, 99999, 1050},
        {"clamped to the minimum", {}, tenChars, {}, GazeMachineState::averted, 0, 1200, 6000, 1200},
        {"clamped to the maximum", {7000}, tenChars, {}, GazeMachineState::noFace, 0, 700, 6000, 6000},
        {"crossed bounds give the maximum", {}, tenChars, {}, GazeMachineState::noFace, 0, 3000, 2000, 2000},
    };
    for (const auto& c : cases) {
        const SilencePrediction p{.initialSilenceMs = 1500,
                                  .minSilenceMs = c.minMs,
                                  .maxSilenceMs = c.maxMs,
                                  .pauseSamplesMs = c.pauses,
                                  .transcript = c.transcript,
                                  .secondsSinceTurnStart = c.seconds,
                                  .gaze = c.gaze,
                                  .gazeConfidence = c.confidence};
        EXPECT_EQ(p.predictedMs(), c.expected) << c.name;
    }
}

TEST(SilencePrediction, LastWordAndItsBias)
{
    const struct {
        QString transcript;
        QString token;
        int bias;
    } cases[] = {
        {"", "", 0},
        {" \n  \n", "", 0},
        {"one\ntwo  ", "two", 0},
        {"tab\tinside", "tab\tinside", 0},
        {"그래서 음", "음", 1500},
        {"그래서 음...", "음...", 1500},
        {"그래서 음..", "음..", 0},
        {"그래서 음,", "음,", 0},
        {"그래서 음\u2026", "음\u2026", 0},
        {"밥을 먹고", "먹고", 1200},
        {"뭘 먹을까", "먹을까", 1200},
        {"어디로 갈까", "갈까", -400},
        {"감사합니다.", "감사합니다.", -400},
        {"뭐 할까?", "할까?", -400},
        {"먹고.", "먹고.", 0},
        // Decomposed Hangul compares as its composed form.
        {QStringLiteral("\u1112\u1162\u11BB\u1102\u1173\u11AB\u1103\u1166"),
         QStringLiteral("\u1112\u1162\u11BB\u1102\u1173\u11AB\u1103\u1166"), 1200},
        // A leading jamo joined to "고" makes one character that is not "고".
        {QStringLiteral("\u1100고"), QStringLiteral("\u1100고"), 0},
    };
    for (const auto& c : cases) {
        const QString token = SilencePrediction::trailingToken(c.transcript);
        EXPECT_EQ(token, c.token);
        EXPECT_EQ(SilencePrediction::particleBias(token), c.bias) << token.toStdString();
    }
}

}  // namespace
