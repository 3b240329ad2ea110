#include "TTS/SentenceChunker.h"

#include "Common/QtPrinters.h"
#include "Support/Text.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <optional>
#include <vector>

namespace {

TEST(SentenceChunker, CutsAsTheStreamArrives)
{
    const QString kLong = QStringLiteral("word ").repeated(40);  // 200 characters, spaces only
    const auto words = [](int count) { return QStringLiteral("word ").repeated(count).trimmed(); };
    const struct {
        const char* name;
        std::vector<QString> deltas;
        QStringList sentences;  // everything feed returned, in order
        std::optional<QString> flushed = std::nullopt;  // what the end of the stream returns
    } cases[] = {
        // A full stop waits for what follows it; the end of the stream closes it.
        {"stop waits for space", {"Hello world.", " How are you"}, {"Hello world."}, QStringLiteral("How are you")},
        {"rest is carried", {"Hello world. How are", " you?"}, {"Hello world.", "How are you?"}},
        // The 11th character is the first that may end a sentence.
        {"terminator as 11th character", {"0123456789!rest"}, {"0123456789!"}, QStringLiteral("rest")},
        {"terminator as 10th character", {"012345678!rest"}, {}, QStringLiteral("012345678!rest")},
        {"early terminator", {"Hi! How are you?"}, {"Hi! How are you?"}},
        {"three stops", {"Hello world... And more"}, {"Hello world..."}, QStringLiteral("And more")},
        {"ellipsis", {"Hello world\u2026And more"}, {"Hello world\u2026"}, QStringLiteral("And more")},
        // Full stops inside numbers and initialisms never cut; single letters joined by stops make one.
        {"decimal", {"The price is 3.5 dollars. Ok"}, {"The price is 3.5 dollars."}, QStringLiteral("Ok")},
        {"initialism", {"Bring fruit, e.g. apples. "}, {"Bring fruit, e.g. apples."}},
        {"capital initialism", {"They moved to the U.S. last year. "}, {"They moved to the U.S. last year."}},
        {"lone letter", {"We picked option B. Then we left. "}, {"We picked option B.", "Then we left."}},
        {"two letters", {"Meet me at the Dr. Who poster. "}, {"Meet me at the Dr.", "Who poster."}},
        {"digits", {"Numbers like 1.2. More here. "}, {"Numbers like 1.2.", "More here."}},
        // Ideographic terminators follow the same offset rule; no space is needed after them.
        {"Chinese", {"今天天气很好我们去公园吧。然后"}, {"今天天气很好我们去公园吧。"}, QStringLiteral("然后")},
        {"fullwidth",
         {"ありがとうございます本当に！はい本当にそうですかね？"},
         {"ありがとうございます本当に！", "はい本当にそうですかね？"}},
        {"line feed", {"This is a line\nnext"}, {"This is a line"}, QStringLiteral("next")},
        {"blank head", {"          \nHi. Hello there friend. "}, {"Hi. Hello there friend."}},
        {"CRLF is no cut",
         {"First line here\r\nSecond line here\r\n"},
         {},
         QStringLiteral("First line here\r\nSecond line here")},
        {"blank flush", {"   \t  "}, {}},
        // Forced cuts keep utterances bounded.
        {"forced cut at last space", {kLong}, {words(28)}, words(12)},
        {"sentence inside the limit", {"Hello world. " + kLong}, {"Hello world.", words(27)}, words(13)},
        {"forced cut at the limit", {kLong.left(140)}, {kLong.left(139)}},
        {"below the limit", {kLong.left(139)}, {}, kLong.left(139)},
        {"hard cut", {QString(141, u'x')}, {QString(140, u'x')}, "x"},
        {"hard cut waits", {QString(140, u'x')}, {}, QString(140, u'x')},
        {"hard cut ignores later spaces",
         {QString(150, u'x') + " tail"},
         {QString(140, u'x')},
         QString(10, u'x') + " tail"},
        // A full stop before closing quotes, brackets or emphasis marks ends a sentence, marks included.
        {"closing quote", {"She said \"I am done.\" Then she left. "}, {"She said \"I am done.\"", "Then she left."}},
        {"closing bracket",
         {"It is covered (see above.) Next we go on. "},
         {"It is covered (see above.)", "Next we go on."}},
        {"emphasis", {"**Important note.** Read it twice. "}, {"**Important note.**", "Read it twice."}},
        {"curly quote", {"He wrote “all is well.", "” Then"}, {"He wrote “all is well.”"}, "Then"},
        {"closing marks never pass the limit", {QString(139, u'x') + ".\")) next"}, {QString(139, u'x') + "."},
         "\")) next"},
        {"quoted address", {"Open 'example.com' and 'v1.2' now. "}, {"Open 'example.com' and 'v1.2' now."}},
        {"closer then letter", {"Call it \"v1.\"x today. "}, {"Call it \"v1.\"x today."}},
        {"bracketed initialism", {"Bring fruit (e.g. apples) and pears. "}, {"Bring fruit (e.g. apples) and pears."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SentenceChunker chunker;
        QStringList sentences;
        for (const QString& delta : c.deltas)
            sentences << chunker.feed(delta);
        EXPECT_EQ(sentences, c.sentences);
        EXPECT_EQ(chunker.flushRemaining(), c.flushed);
        EXPECT_TRUE(chunker.buffer().isEmpty());
    }
}

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

TEST(SentenceChunker, NoPieceExceedsTheLimitCountedOnItsOwn)
{
    // Qt counts a full stop or U+FFFD and the mark after it as one character after a letter,
    // as two at the start of a text or after a blank that trimming takes away: inside the
    // buffer this reply's piece had 8 characters, handed out alone it had 9.
    const QString reply = QString::fromUtf16(u"  \taa \uFFFDa\uFFFD\t\t\uFFFD\uFFFDa\uFFFDa .\u0301 \u0903"
                                             u"\uFFFD\u0301.\uFFFDa");
    const QStringList tails = {QString(), QStringLiteral(" more text follows here.")};
    for (const QString& tail : tails) {
        for (int delta = 1; delta <= 8; ++delta) {
            SentenceChunker chunker(1, 8);
            QStringList pieces;
            const QString text = reply + tail;
            for (qsizetype at = 0; at < text.size(); at += delta)
                pieces << chunker.feed(text.mid(at, delta));
            if (const auto rest = chunker.flushRemaining())
                pieces << *rest;
            for (const QString& piece : pieces)
                EXPECT_LE(Text::graphemeCount(piece), 8) << "deltas of " << delta << ": " << qPrintable(piece);
            QString joined = pieces.join(QString());
            joined.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
            QString expected = text;
            expected.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
            // Nothing invented or lost but the marks of forced cuts.
            EXPECT_LE(joined.size(), expected.size());
            EXPECT_GE(joined.size() + expected.count(QLatin1Char('.')) + expected.count(QLatin1Char('!')), expected.size());
        }
    }
}

QString randomReply(QRandomGenerator& random, int maxLength)
{
    static const QStringList kAlphabet = {QStringLiteral("a"),  QStringLiteral("한"), QStringLiteral(" "),
                                          QStringLiteral("."),  QStringLiteral("?"),  QStringLiteral("\n"),
                                          QStringLiteral("。"), QStringLiteral("3"),  QStringLiteral("👍🏽"),
                                          QStringLiteral("\""), QStringLiteral(")")};
    QString reply;
    const int length = random.bounded(maxLength);
    for (int i = 0; i < length; ++i)
        reply += kAlphabet.at(random.bounded(kAlphabet.size()));
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
