#include "Pipeline/ToolCallLine.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ToolCallLine, FindsShowsExtractsAndHoldsTheLine)
{
    const QString call = QStringLiteral(R"({"skill":"calendar.list_today","args":{}})");
    const struct {
        QString text;
        bool contains;
        QString shown;
        std::optional<QString> json;
        std::optional<qsizetype> held;
    } cases[] = {
        {QStringLiteral("네, 볼게요.\n") + call, true, QStringLiteral("네, 볼게요."), call, 8},
        {QStringLiteral(" \t") + call + QStringLiteral("\r"), true, QString(), call, 0},
        // Text after the brace: still a tool line, but only the whole reply can be decoded.
        {call + QStringLiteral(" 끝"), true, QString(), std::nullopt, 0},
        // Spread over lines with "skill" on the first: the whole reply is the object.
        {QStringLiteral("{\"skill\":\n\"x\"}"), true, QString(), QStringLiteral("{\"skill\":\n\"x\"}"), std::nullopt},
        // Only the brace on the first line: ordinary text.
        {QStringLiteral("{\n\"skill\": \"x\"\n}"), false, QStringLiteral("{\n\"skill\": \"x\"\n}"),
         QStringLiteral("{\n\"skill\": \"x\"\n}"), std::nullopt},
        {QStringLiteral("use the skill {x}"), false, QStringLiteral("use the skill {x}"), std::nullopt, std::nullopt},
        // A line that may still become a tool line is held from its start.
        {QStringLiteral("알겠어요.\n  {\"ski"), false, QStringLiteral("알겠어요.\n  {\"ski"), std::nullopt, 6},
        {QStringLiteral("{"), false, QStringLiteral("{"), std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(ToolCallLine::containsToolCallLine(c.text), c.contains);
        EXPECT_EQ(ToolCallLine::textBeforeToolCall(c.text), c.shown);
        EXPECT_EQ(ToolCallLine::extractToolCallJSON(c.text), c.json);
        EXPECT_EQ(ToolCallLine::heldTailStart(c.text), c.held);
    }
}
