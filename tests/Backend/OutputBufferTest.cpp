#include "Backend/OutputBuffer.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

using Mode = CLIAssistantClient::OutputMode;

namespace {

struct Fed {
    QStringList pieces;
    qsizetype emitted;
    QString raw;
};

Fed feedAll(Mode mode, const QStringList& chunks)
{
    OutputBuffer buffer(mode);
    QStringList pieces;
    for (const QString& chunk : chunks)
        pieces += buffer.feed(chunk);
    pieces += buffer.flush();
    return {pieces, buffer.totalEmitted(), buffer.raw()};
}

QString codexMessage(const char* text)
{
    return QStringLiteral(R"({"type":"item.completed","item":{"type":"agent_message","text":"%1"}})").arg(text);
}

QString claudeDelta(const char* text)
{
    return QStringLiteral(
               R"({"type":"stream_event","event":{"type":"content_block_delta","delta":{"type":"text_delta","text":"%1"}}})")
        .arg(text);
}

}  // namespace

TEST(OutputBuffer, PiecesPerFormatWithCountsAndRawKept)
{
    struct Case {
        const char* name;
        Mode mode;
        QStringList chunks;
        QStringList pieces;
        qsizetype emitted;
    };
    const QList<Case> cases = {
        {"plain passes chunks, blanks counted", Mode::plainText, {"Hi ", "\n", "", "there"}, {"Hi ", "\n", "there"}, 9},
        {"plain counts graphemes",
         Mode::plainText,
         {QString::fromUtf8("안녕 👋🏽")},
         {QString::fromUtf8("안녕 👋🏽")},
         4},
        {"codex: two messages, last line unterminated",
         Mode::codexJsonl,
         {codexMessage("A.") + "\n" + R"({"type":"turn.started"})" + "\n", codexMessage("B.")},
         {"A.", "B."},
         4},
        {"codex: a line split across chunks",
         Mode::codexJsonl,
         {codexMessage("Split").left(20), codexMessage("Split").mid(20) + "\r\n"},
         {"Split"},
         5},
        {"codex: other events and non-JSON give nothing",
         Mode::codexJsonl,
         {"not json\n",
          R"({"type":"item.completed","item":{"type":"reasoning","text":"no"}})"
          "\n",
          R"({"type":"item.completed","item":{"type":"agent_message","text":5}})"
          "\n",
          "[1]\n"},
         {},
         0},
        {"claude: deltas win over the result",
         Mode::claudeStreamJSON,
         {claudeDelta("Hel") + "\n" + claudeDelta("lo.") + "\n", R"({"type":"result","result":"Hello."})"
                                                                 "\n"},
         {"Hel", "lo."},
         6},
        {"claude: result alone is used once at the end",
         Mode::claudeStreamJSON,
         {R"({"type":"result","result":"first"})"
          "\n",
          R"({"type":"result","result":"Only result."})"},
         {"Only result."},
         12},
        {"claude: other events give nothing",
         Mode::claudeStreamJSON,
         {R"({"type":"system","subtype":"init"})"
          "\n",
          R"({"type":"stream_event","event":{"type":"content_block_start"}})"
          "\n",
          R"({"type":"stream_event","event":{"type":"content_block_delta","delta":{"type":"input_json_delta","text":"x"}}})"
          "\n"},
         {},
         0},
    };
    for (const Case& c : cases) {
        const Fed run = feedAll(c.mode, c.chunks);
        EXPECT_EQ(run.pieces, c.pieces) << c.name;
        EXPECT_EQ(run.emitted, c.emitted) << c.name;
        EXPECT_EQ(run.raw, c.chunks.join(QString())) << c.name;
    }
}

TEST(OutputBuffer, ClaudeDeltaHandedOutAsSoonAsItsLineEnds)
{
    OutputBuffer buffer(Mode::claudeStreamJSON);
    EXPECT_EQ(buffer.feed(claudeDelta("one")), QStringList());
    EXPECT_EQ(buffer.feed("\n" + claudeDelta("two").left(10)), QStringList{"one"});
    EXPECT_EQ(buffer.feed(claudeDelta("two").mid(10) + "\n"), QStringList{"two"});
    EXPECT_EQ(buffer.flush(), QStringList());
}
