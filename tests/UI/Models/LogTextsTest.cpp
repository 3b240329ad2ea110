// What the raw log and the timeline show and copy of pipeline-log entries.
#include "UI/Models/LogViewText.h"
#include "UI/Models/TimelineText.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

using ThemePalette::Named;
using namespace std::chrono_literals;

namespace {
// An entry at a moment given in microseconds after 09:00 local time on a fixed day.
PipelineLog::Entry at(std::chrono::microseconds offset, const char* category = "fsm", const char* message = "m")
{
    const auto nine = std::chrono::system_clock::time_point(
        std::chrono::milliseconds(QDateTime(QDate(2026, 1, 5), QTime(9, 0)).toMSecsSinceEpoch()));
    return {QUuid::createUuid(), nine + offset, QString::fromLatin1(category), QString::fromUtf8(message)};
}
}  // namespace

TEST(TimelineText, GapsAreCutToWholeMillisecondsAndGradedOnTheUncutGap)
{
    const struct {
        std::chrono::microseconds gap;
        const char* text;
        TextTint tint;
    } cases[] = {
        {0us, "+0ms", Named::green},         {49'900us, "+49ms", Named::green},    {50'000us, "+50ms", Named::blue},
        {249'999us, "+249ms", Named::blue},  {250'000us, "+250ms", Named::orange}, {999'900us, "+999ms", Named::orange},
        {1'000'000us, "+1.00s", Named::red}, {1'234'900us, "+1.23s", Named::red},  {2'367'200us, "+2.37s", Named::red},
    };
    const PipelineLog::Entry first = at(0us);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TimelineText::Delta delta = TimelineText::delta(&first, at(c.gap));
        EXPECT_EQ(delta.text, QString::fromLatin1(c.text));
        EXPECT_TRUE(delta.tint == c.tint);
    }
    const TimelineText::Delta none = TimelineText::delta(nullptr, at(5s));
    EXPECT_EQ(none.text, QStringLiteral("+0ms"));
    EXPECT_TRUE(none.tint == TextTint::secondary());
}

TEST(LogTexts, EachViewColoursCategoriesByItsOwnTableMatchedExactly)
{
    const struct {
        const char* category;
        TextTint rawLog;
        TextTint timeline;
    } cases[] = {
        {"error", Named::red, Named::red},
        {"Error", TextTint::secondary(), TextTint::secondary()},
        {"fsm", Named::blue, Named::blue},
        {"tts", Named::purple, Named::purple},
        {"llm", Named::green, Named::green},
        {"turn", Named::orange, Named::orange},
        {"barge-in", Named::pink, Named::pink},
        {"endpointing", TextTint::secondary(), Named::pink},
        {"gaze", Named::cyan, Named::cyan},
        {"camera", Named::teal, Named::brown},
        {"stt", TextTint::secondary(), Named::teal},
        {"audio", TextTint::secondary(), Named::indigo},
        {"stats", TextTint::secondary(), Named::gray},
        {"session", TextTint::secondary(), TextTint::secondary()},
        {"", TextTint::secondary(), TextTint::secondary()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.category);
        EXPECT_TRUE(LogViewText::categoryTint(QString::fromLatin1(c.category)) == c.rawLog);
        EXPECT_TRUE(TimelineText::categoryTint(QString::fromLatin1(c.category)) == c.timeline);
    }
    EXPECT_TRUE(LogViewText::messageTint(QStringLiteral("error")) == Named::red);
    EXPECT_TRUE(LogViewText::messageTint(QStringLiteral("Error")) == TextTint::primary());
}

TEST(LogTexts, CopiesJoinEveryLineWithoutATrailingNewlineAndTheTimelineMeasuresEachGapToTheLineBefore)
{
    const QList<PipelineLog::Entry> entries{at(0us, "stt", "started OK"), at(1'500'000us, "turn", "두 줄\n메시지"),
                                            at(1'587'000us, "error", "Assistant request failed")};
    EXPECT_EQ(LogViewText::copyAll(entries), QStringLiteral("09:00:00.000000 [stt] started OK\n"
                                                            "09:00:01.500000 [turn] 두 줄\n메시지\n"
                                                            "09:00:01.587000 [error] Assistant request failed"));
    EXPECT_EQ(TimelineText::copyAll(entries), QStringLiteral("09:00:00.000000 +0ms [stt] started OK\n"
                                                             "09:00:01.500000 +1.50s [turn] 두 줄\n메시지\n"
                                                             "09:00:01.587000 +87ms [error] Assistant request failed"));
    EXPECT_EQ(LogViewText::copyAll({}), QString());
    EXPECT_EQ(TimelineText::copyAll({}), QString());
    EXPECT_EQ(TimelineText::header(150), QStringLiteral("Timeline (150 events)"));
}
