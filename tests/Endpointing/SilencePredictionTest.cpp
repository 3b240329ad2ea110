#include "Endpointing/SilencePrediction.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
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

struct PredictionCase {
    const char* name;
    std::vector<int> pauses;
    QString transcript;
    std::optional<double> seconds;
    GazeMachineState gaze;
    double confidence;
    int minMs;
    int maxMs;
    int expected;
};

void PrintTo(const PredictionCase& c, std::ostream* out)
{
    *out << c.name;
}

class SilencePredictionCases : public testing::TestWithParam<PredictionCase> {};

TEST_P(SilencePredictionCases, Predicts)
{
    const PredictionCase& c = GetParam();
    const SilencePrediction p{.initialSilenceMs = 1500,
                              .minSilenceMs = c.minMs,
                              .maxSilenceMs = c.maxMs,
                              .pauseSamplesMs = c.pauses,
                              .transcript = c.transcript,
                              .secondsSinceTurnStart = c.seconds,
                              .gaze = c.gaze,
                              .gazeConfidence = c.confidence};
    EXPECT_EQ(p.predictedMs(), c.expected);
}

const QString kTenChars = QStringLiteral("abcde fghi");

INSTANTIATE_TEST_SUITE_P(
    Table, SilencePredictionCases,
    testing::Values(
        PredictionCase{"InitialWithoutPauses", {}, kTenChars, {}, GazeMachineState::noFace, 0, 0, 99999, 1500},
        PredictionCase{
            "LargestPausePlus350", {400, 1200, 800}, kTenChars, {}, GazeMachineState::noFace, 0, 0, 99999, 1550},
        PredictionCase{"RateExactlyTwoChangesNothing", {}, kTenChars, 5.0, GazeMachineState::noFace, 0, 0, 99999, 1500},
        PredictionCase{"RateBelowTwoAdds600", {}, kTenChars, 5.01, GazeMachineState::noFace, 0, 0, 99999, 2100},
        PredictionCase{
            "RateExactlySixChangesNothing", {}, QString(12, u'x'), 2.0, GazeMachineState::noFace, 0, 0, 99999, 1500},
        PredictionCase{"RateAboveSixTakes300", {}, QString(13, u'x'), 2.0, GazeMachineState::noFace, 0, 0, 99999, 1200},
        PredictionCase{
            "ZeroElapsedCountsAsAMillisecond", {}, kTenChars, 0.0, GazeMachineState::noFace, 0, 0, 99999, 1200},
        PredictionCase{"EmptyTranscriptIsSlow", {}, QString(), 1.0, GazeMachineState::noFace, 0, 0, 99999, 2100},
        PredictionCase{"NoFaceIgnoresConfidence", {}, kTenChars, {}, GazeMachineState::noFace, 1.0, 0, 99999, 1500},
        PredictionCase{"EngagedScalesByConfidence", {}, kTenChars, {}, GazeMachineState::engaged, 1.0, 0, 99999, 2550},
        PredictionCase{"AvertedShortens", {}, kTenChars, {}, GazeMachineState::averted, 1.0, 0, 99999, 1050},
        PredictionCase{"ClampedToMinimum", {}, kTenChars, {}, GazeMachineState::averted, 0, 1200, 6000, 1200},
        PredictionCase{"ClampedToMaximum", {7000}, kTenChars, {}, GazeMachineState::noFace, 0, 700, 6000, 6000},
        PredictionCase{
            "CrossedBoundsGiveTheMaximum", {}, kTenChars, {}, GazeMachineState::noFace, 0, 3000, 2000, 2000}),
    [](const testing::TestParamInfo<PredictionCase>& param) { return param.param.name; });

struct TailCase {
    QString transcript;
    QString token;
    int bias;
};

class TailBiasCases : public testing::TestWithParam<TailCase> {};

TEST_P(TailBiasCases, LastWordAndItsBias)
{
    const TailCase& c = GetParam();
    const QString token = SilencePrediction::trailingToken(c.transcript);
    EXPECT_EQ(token, c.token);
    EXPECT_EQ(SilencePrediction::particleBias(token), c.bias) << token.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, TailBiasCases,
    testing::Values(TailCase{"", "", 0}, TailCase{" \n  \n", "", 0}, TailCase{"hello world", "world", 0},
                    TailCase{"one\ntwo  ", "two", 0}, TailCase{"tab\tinside", "tab\tinside", 0},
                    TailCase{"그래서 음", "음", 1500}, TailCase{"그래서 음...", "음...", 1500},
                    TailCase{"그래서 음..", "음..", 0}, TailCase{"그래서 음,", "음,", 0},
                    TailCase{"그래서 음\u2026", "음\u2026", 0}, TailCase{"밥을 먹고", "먹고", 1200},
                    TailCase{"내일 가면서", "가면서", 1200}, TailCase{"시간이 있거든요", "있거든요", 1200},
                    TailCase{"뭘 먹을까", "먹을까", 1200}, TailCase{"어디로 갈까", "갈까", -400},
                    TailCase{"감사합니다.", "감사합니다.", -400}, TailCase{"좋아요", "좋아요", -400},
                    TailCase{"뭐 할까?", "할까?", -400}, TailCase{"그렇군요", "그렇군요", -400},
                    TailCase{"먹고.", "먹고.", 0}, TailCase{"정말이다!", "정말이다!", 0},
                    // Decomposed Hangul compares as its composed form.
                    TailCase{QStringLiteral("\u1112\u1162\u11BB\u1102\u1173\u11AB\u1103\u1166"),
                             QStringLiteral("\u1112\u1162\u11BB\u1102\u1173\u11AB\u1103\u1166"), 1200},
                    // A leading jamo joined to "고" makes one character that is not "고".
                    TailCase{QStringLiteral("\u1100고"), QStringLiteral("\u1100고"), 0}));

}  // namespace
