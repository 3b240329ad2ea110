#include "TTS/SentenceChunker.h"

#include "Common/QtPrinters.h"
#include "Support/Text.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <optional>
#include <ostream>
#include <vector>

namespace {

struct ChunkCase {
    const char* name;
    std::vector<QString> deltas;
    QStringList sentences;  // everything feed returned, in order
    std::optional<QString> flushed = std::nullopt;  // what the end of the stream returns
};

void PrintTo(const ChunkCase& c, std::ostream* out)
{
    *out << c.name;
}

class SentenceChunkerCases : public testing::TestWithParam<ChunkCase> {};

TEST_P(SentenceChunkerCases, CutsAsTheStreamArrives)
{
    const ChunkCase& c = GetParam();
    SentenceChunker chunker;
    QStringList sentences;
    for (const QString& delta : c.deltas)
        sentences << chunker.feed(delta);
    EXPECT_EQ(sentences, c.sentences);
    EXPECT_EQ(chunker.flushRemaining(), c.flushed);
    EXPECT_TRUE(chunker.buffer().isEmpty());
}

const QString kLong = QStringLiteral("word ").repeated(40);  // 200 characters, spaces only

INSTANTIATE_TEST_SUITE_P(
    Table, SentenceChunkerCases,
    testing::Values(
        // A full stop waits for what follows it; the end of the stream closes it.
        ChunkCase{"StopAtTheEndWaitsForTheStream", {"Hello world."}, {}, QStringLiteral("Hello world.")},
        ChunkCase{"StopBeforeSpaceCuts", {"Hello world. "}, {"Hello world."}, std::nullopt},
        ChunkCase{"StopIsCutWhenTheNextDeltaBringsSpace",
                  {"Hello world.", " How are you"},
                  {"Hello world."},
                  QStringLiteral("How are you")},
        ChunkCase{"ShortSentenceStaysUntilFlush", {"Hello. "}, {}, QStringLiteral("Hello.")},
        ChunkCase{"RestIsCarriedToTheNextDelta",
                  {"Hello world. How are", " you?"},
                  {"Hello world.", "How are you?"},
                  std::nullopt},
        // The 11th character is the first that may end a sentence.
        ChunkCase{"TerminatorAsEleventhCharacterCuts", {"0123456789!rest"}, {"0123456789!"}, QStringLiteral("rest")},
        ChunkCase{"TerminatorAsTenthCharacterDoesNot", {"012345678!rest"}, {}, QStringLiteral("012345678!rest")},
        ChunkCase{"EarlyTerminatorStaysInsideTheSentence", {"Hi! How are you?"}, {"Hi! How are you?"}, std::nullopt},
        ChunkCase{
            "ThreeStopsStayTogether", {"Hello world... And more"}, {"Hello world..."}, QStringLiteral("And more")},
        ChunkCase{
            "EllipsisCharacterCuts", {"Hello world\u2026And more"}, {"Hello world\u2026"}, QStringLiteral("And more")},
        // Full stops inside numbers, versions, addresses and initialisms never cut.
        ChunkCase{"Decimal", {"The price is 3.5 dollars. Ok"}, {"The price is 3.5 dollars."}, QStringLiteral("Ok")},
        ChunkCase{"Version", {"Update to v1.2 today please. "}, {"Update to v1.2 today please."}, std::nullopt},
        ChunkCase{"Address", {"Please open example.com now. "}, {"Please open example.com now."}, std::nullopt},
        // Only single letters joined by full stops make an initialism.
        ChunkCase{"Initialism",
                  {"Bring fruit, e.g. apples and pears. "},
                  {"Bring fruit, e.g. apples and pears."},
                  std::nullopt},
        ChunkCase{"CapitalInitialism", {"They moved to the U.S. last year. "}, {"They moved to the U.S. last year."}},
        ChunkCase{"LoneLetterEndsASentence",
                  {"We picked option B. Then we left. "},
                  {"We picked option B.", "Then we left."}},
        ChunkCase{"TwoLettersEndASentence", {"Meet me at the Dr. Who poster. "}, {"Meet me at the Dr.", "Who poster."}},
        ChunkCase{"DigitsAreNoInitialism", {"Numbers like 1.2. More here. "}, {"Numbers like 1.2.", "More here."}},
        ChunkCase{"DecimalSplitAcrossDeltas",
                  {"The price is 3.", "5 dollars. "},
                  {"The price is 3.5 dollars."},
                  std::nullopt},
        ChunkCase{
            "StopThenLineFeed", {"First line is done.\nSecond"}, {"First line is done."}, QStringLiteral("Second")},
        // Ideographic terminators follow the same offset rule; no space is needed after them.
        ChunkCase{"ChineseFullStop",
                  {"今天天气很好我们去公园吧。然后"},
                  {"今天天气很好我们去公园吧。"},
                  QStringLiteral("然后")},
        ChunkCase{"FullwidthMarks",
                  {"ありがとうございます本当に！はい本当にそうですかね？"},
                  {"ありがとうございます本当に！", "はい本当にそうですかね？"},
                  std::nullopt},
        ChunkCase{"KoreanCountsSyllables",
                  {"안녕하세요 반갑습니다!다음"},
                  {"안녕하세요 반갑습니다!"},
                  QStringLiteral("다음")},
        ChunkCase{"LineFeedCutsAndIsTrimmed", {"This is a line\nnext"}, {"This is a line"}, QStringLiteral("next")},
        ChunkCase{
            "BlankHeadIsDropped", {"          \nHi. Hello there friend. "}, {"Hi. Hello there friend."}, std::nullopt},
        ChunkCase{"CarriageReturnLineFeedIsNoCut",
                  {"First line here\r\nSecond line here\r\n"},
                  {},
                  QStringLiteral("First line here\r\nSecond line here")},
        ChunkCase{"BlankFlushGivesNothing", {"   \t  "}, {}, std::nullopt},
        // Forced cuts keep utterances bounded.
        ChunkCase{"ForcedCutAtLastSpaceWithinLimit",
                  {kLong},
                  {QStringLiteral("word ").repeated(27) + QStringLiteral("word")},
                  QStringLiteral("word ").repeated(12).trimmed()},
        ChunkCase{"SentenceInsideLimitIsCutNormally",
                  {"Hello world. " + kLong},
                  {"Hello world.", QStringLiteral("word ").repeated(26) + QStringLiteral("word")},
                  QStringLiteral("word ").repeated(13).trimmed()},
        ChunkCase{"ForcedCutAtExactlyTheLimit", {kLong.left(140)}, {kLong.left(139)}},
        ChunkCase{"NoForcedCutBelowTheLimit", {kLong.left(139)}, {}, kLong.left(139)},
        ChunkCase{"HardCutWithoutAnyBoundary", {QString(141, u'x')}, {QString(140, u'x')}, "x"},
        ChunkCase{"HardCutWaitsForTheCharacterAfterTheLimit", {QString(140, u'x')}, {}, QString(140, u'x')},
        ChunkCase{"HardCutIgnoresBoundariesBeyondTheLimit",
                  {QString(150, u'x') + " tail"},
                  {QString(140, u'x')},
                  QString(10, u'x') + " tail"},
        // A full stop before closing quotes, brackets or emphasis marks ends a sentence, marks included.
        ChunkCase{"StopBeforeClosingQuote",
                  {"She said \"I am done.\" Then she left. "},
                  {"She said \"I am done.\"", "Then she left."}},
        ChunkCase{"StopBeforeClosingBracket",
                  {"It is covered (see above.) Next we go on. "},
                  {"It is covered (see above.)", "Next we go on."}},
        ChunkCase{"StopBeforeEmphasisMarks",
                  {"**Important note.** Read it twice. "},
                  {"**Important note.**", "Read it twice."}},
        ChunkCase{"StopBeforeCurlyQuote", {"He wrote “all is well.” Then"}, {"He wrote “all is well.”"}, "Then"},
        ChunkCase{"ClosingMarksNeverPassTheLimit",
                  {QString(139, u'x') + ".\")) next"},
                  {QString(139, u'x') + "."},
                  "\")) next"},
        ChunkCase{"ClosingMarksSplitAcrossDeltas",
                  {"She said \"I am done.", "\"", " Then"},
                  {"She said \"I am done.\""},
                  "Then"},
        ChunkCase{"QuotedAddressAndVersionStayWhole",
                  {"Open 'example.com' and 'v1.2' now. "},
                  {"Open 'example.com' and 'v1.2' now."}},
        ChunkCase{"StopBeforeCloserAndLetterDoesNotCut", {"Call it \"v1.\"x today. "}, {"Call it \"v1.\"x today."}},
        ChunkCase{"BracketedInitialism",
                  {"Bring fruit (e.g. apples) and pears. "},
                  {"Bring fruit (e.g. apples) and pears."}}),
    [](const testing::TestParamInfo<ChunkCase>& param) { return param.param.name; });

TEST(SentenceChunker, ForcedCutWithoutSpacesUsesTheLastTerminatorWithinTheLimit)
{
    // Chinese text whose only marks sit in its first ten characters: no sentence end, no space.
    const QString head = QStringLiteral("你好！") + QString(200, QChar(0x597D));
    SentenceChunker chunker;
    EXPECT_EQ(chunker.feed(head), (QStringList{QStringLiteral("你好"), QString(140, QChar(0x597D))}));
    EXPECT_EQ(Text::graphemeCount(chunker.buffer()), 60);
}

TEST(SentenceChunker, ALongRunWithoutSpacesIsCutIntoBoundedPieces)
{
    // 30,000 characters of base64 in 7-unit pieces, emoji split between two pieces among them.
    const QString run = QStringLiteral("QmFzZTY0K2😀RhdGE").repeated(1875);
    SentenceChunker chunker;
    QStringList pieces;
    for (qsizetype at = 0; at < run.size(); at += 7)
        pieces << chunker.feed(run.mid(at, 7));
    ASSERT_EQ(pieces.size(), 214);
    for (const QString& piece : pieces)
        ASSERT_EQ(Text::graphemeCount(piece), 140);
    pieces << chunker.flushRemaining().value_or(QString());
    EXPECT_EQ(pieces.join(QString()), run);
}

TEST(SentenceChunker, EmojiAndCombiningMarksCountAsOneCharacter)
{
    // Nine clusters before the mark: the mark is the 10th character and may not cut.
    SentenceChunker chunker;
    EXPECT_TRUE(chunker.feed(QStringLiteral("👩‍💻👍🏽e\u0301🇰🇷abcde!")).isEmpty());
    // One more cluster in front moves the mark to the 11th character.
    SentenceChunker longer;
    EXPECT_EQ(longer.feed(QStringLiteral("x👩‍💻👍🏽e\u0301🇰🇷abcde! ")),
              QStringList{QStringLiteral("x👩‍💻👍🏽e\u0301🇰🇷abcde!")});
}

QString randomReply(QRandomGenerator& random, int maxLength)
{
    static const QStringList alphabet = {QStringLiteral("a"),  QStringLiteral("한"), QStringLiteral(" "),
                                         QStringLiteral("."),  QStringLiteral("?"),  QStringLiteral("\n"),
                                         QStringLiteral("。"), QStringLiteral("3"),  QStringLiteral("👍🏽"),
                                         QStringLiteral("\""), QStringLiteral(")")};
    QString reply;
    const int length = random.bounded(maxLength);
    for (int i = 0; i < length; ++i)
        reply += alphabet.at(random.bounded(alphabet.size()));
    return reply;
}

// Deltas of random length, even splitting a cluster: the buffer joins them again.
QStringList streamed(QRandomGenerator& random, const QString& reply, int maxDelta)
{
    SentenceChunker chunker;
    QStringList pieces;
    for (qsizetype at = 0; at < reply.size();) {
        const qsizetype take = 1 + random.bounded(maxDelta);
        pieces << chunker.feed(reply.mid(at, take));
        at += take;
    }
    if (const auto rest = chunker.flushRemaining())
        pieces << *rest;
    return pieces;
}

TEST(SentenceChunker, SplittingTheStreamNeverMovesASentenceEnd)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        const QString reply = randomReply(random, 120);  // short of a forced cut
        EXPECT_EQ(streamed(random, reply, 6), streamed(random, reply, 1000)) << qPrintable(reply);
    }
}

TEST(SentenceChunker, RandomStreamsKeepEveryCharacterAndNeverYieldBlankPieces)
{
    QRandomGenerator random(42);
    for (int round = 0; round < 200; ++round) {
        const QString reply = randomReply(random, 400);
        const QStringList pieces = streamed(random, reply, 200);

        QString kept;
        for (const QString& piece : pieces) {
            ASSERT_FALSE(Text::trimmed(piece).isEmpty());
            kept += piece;
        }
        // Only white space and dropped boundary marks may go missing.
        QString expected = reply;
        QString actual = kept;
        for (QString* text : {&expected, &actual}) {
            for (const QChar mark : {QChar(u' '), QChar(u'\n'), QChar(u'.'), QChar(u'?'), QChar(0x3002)})
                text->remove(mark);
        }
        EXPECT_EQ(actual, expected) << qPrintable(reply);
    }
}

}  // namespace
