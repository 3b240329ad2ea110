#include "Backend/IncrementalUTF8Decoder.h"

#include "Common/QtPrinters.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// How many U+FFFD stand for one bad sequence differs between decoders; only where they
// stand matters.
QString collapsedReplacements(QString text)
{
    const QString two(2, QChar::ReplacementCharacter);
    while (text.contains(two))
        text.replace(two, QString(QChar::ReplacementCharacter));
    return text;
}

}  // namespace

TEST(IncrementalUTF8Decoder, ChunksSplitInsideCharactersComeOutWholeAndOnce)
{
    struct Case {
        const char* name;
        QList<QByteArray> chunks;
        QStringList fed;  // what each feed returns
        QString flushed;
    };
    const QString ga = QString::fromUtf8("가");
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QList<Case> cases = {
        {"Korean 2+1", {"\xEA\xB0", "\x80"}, {"", ga}, ""},
        {"Korean 1+2 after text",
         {"ab\xEA", "\xB0\x80"
                    "c"},
         {"ab", ga + "c"},
         ""},
        {"emoji 1+1+1+1", {"\xF0", "\x9F", "\x98", "\x80"}, {"", "", "", smile}, ""},
        {"plain ASCII", {"hello", " world"}, {"hello", " world"}, ""},
        // Up to four bytes that are not yet valid are held, and replaced only at the end.
        {"invalid tail held", {"ok\xFF"}, {"ok"}, QString(QChar::ReplacementCharacter)},
        {"lone invalid chunk", {"\xFF\xFE"}, {""}, QString(QChar::ReplacementCharacter)},
        {"truncated at end", {"\xEA\xB0"}, {""}, QString(QChar::ReplacementCharacter)},
        // Bad bytes no later byte can mend are replaced at once.
        {"bad byte before text",
         {"a\xFF"
          "bcdefg"},
         {"a\uFFFDbcdefg"},
         ""},
        // ... while a character split after them still waits for the rest of its bytes.
        {"bad byte, then Korean split",
         {"a\xFF"
          "bcdef\xEA\xB0",
          "\x80z"},
         {"a\uFFFDbcdef", ga + "z"},
         ""},
        {"bad byte, then emoji split", {"\xFFxxxxx\xF0\x9F", "\x98\x80"}, {"\uFFFDxxxxx", smile}, ""},
        {"bad byte, then a start no byte can complete", {"\xFFxxxxx\xE0\x80"}, {"\uFFFDxxxxx\uFFFD"}, ""},
        // A zero-width no-break space held back in front of bad bytes is text, not a byte-order mark.
        {"U+FEFF before bad bytes",
         {"x\xEF\xBB", "\xBF\xFF\xFF\xFF\xFF\xFF"},
         {"x", QStringLiteral("\uFEFF\uFFFD")},
         ""},
    };
    for (const Case& c : cases) {
        IncrementalUTF8Decoder decoder;
        QStringList fed;
        for (const QByteArray& chunk : c.chunks)
            fed << collapsedReplacements(decoder.feed(chunk));
        EXPECT_EQ(fed, c.fed) << c.name;
        EXPECT_EQ(collapsedReplacements(decoder.flush()), c.flushed) << c.name;
        EXPECT_EQ(decoder.flush(), QString()) << c.name;
    }
}
