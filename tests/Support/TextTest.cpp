#include "Support/Text.h"

#include "Common/QtPrinters.h"

#include <QRegularExpression>
#include <QUuid>

#include <gtest/gtest.h>

#include <limits>

TEST(Text, TrimsUnicodeSpaceAndLineBreaksButNotInvisibleFormatCharacters)
{
    EXPECT_EQ(Text::trimmed(QStringLiteral(" \t\n\r\v\f안녕\u00A0\u3000\u2028\u0085")), QStringLiteral("안녕"));
    EXPECT_EQ(Text::trimmed(QStringLiteral("\u200Bx\u200B")), QStringLiteral("\u200Bx\u200B"));
    EXPECT_EQ(Text::trimmed(QStringLiteral("  a  b  ")), QStringLiteral("a  b"));
    EXPECT_EQ(Text::trimmed(QStringLiteral(" \n ")), QString());
}

TEST(Text, CountsUserPerceivedCharacters)
{
    EXPECT_EQ(Text::graphemeCount(QString()), 0);
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("abc")), 3);
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("안녕하세요")), 5);
    // Decomposed Hangul (jamo sequence) is one syllable.
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("\u1100\u1161\u11A8")), 1);
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("👩‍💻")), 1);  // ZWJ sequence
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("👍🏽")), 1);  // skin-tone modifier
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("🇰🇷🇯🇵")), 2);  // two flags
    EXPECT_EQ(Text::graphemeCount(QStringLiteral("e\u0301")), 1);
}

TEST(Text, PrefixNeverSplitsACluster)
{
    const QString text = QStringLiteral("a👩‍💻b🇰🇷c");
    EXPECT_EQ(Text::graphemePrefix(text, 0), QString());
    EXPECT_EQ(Text::graphemePrefix(text, 2), QStringLiteral("a👩‍💻"));
    EXPECT_EQ(Text::graphemePrefix(text, 4), QStringLiteral("a👩‍💻b🇰🇷"));
    EXPECT_EQ(Text::graphemePrefix(text, 99), text);
    EXPECT_EQ(Text::graphemePrefix(text, -1), QString());
}

TEST(Text, ShortestDecimalPrintsLikeTheStoredFormats)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {1.0, "1.0"},
        {-2.0, "-2.0"},
        {0.1, "0.1"},
        {1.5, "1.5"},
        {0.92, "0.92"},
        {1.0 / 3.0, "0.3333333333333333"},
        {100.0, "100.0"},
        {123456.789, "123456.789"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {0.000123, "0.000123"},
        {1.5e-7, "1.5e-07"},
        {1e15, "1000000000000000.0"},
        {9007199254740992.0, "9007199254740992.0"},
        {1e16, "1e+16"},
        {1.2345e20, "1.2345e+20"},
        {5e-324, "5e-324"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(Text::shortestDecimal(value).toStdString(), expected) << "for " << value;
}

TEST(Text, UuidTextIsUpperCaseHyphenatedWithoutBracesAndNewOnesAreFresh)
{
    EXPECT_EQ(Text::uuidText(QUuid(QStringLiteral("{6ba7b810-9dad-11d1-80b4-00c04fd430c8}"))),
              QStringLiteral("6BA7B810-9DAD-11D1-80B4-00C04FD430C8"));
    const QString a = Text::newUuid();
    const QString b = Text::newUuid();
    static const QRegularExpression kForm(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"));
    EXPECT_TRUE(kForm.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, b);
}

TEST(Text, StrictUtf8DecodingRefusesEveryMalformedSequence)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"empty", "", QString()},
        {"ASCII", "plain", QStringLiteral("plain")},
        {"Hangul and emoji", "\xEA\xB0\x80 \xF0\x9F\x98\x80", QStringLiteral("가 😀")},
        {"stray continuation byte", "a\x80z", std::nullopt},
        {"byte never used in UTF-8", "ok\xFF", std::nullopt},
        {"last character cut short", "ok\xEA\xB0", std::nullopt},
        {"overlong form of '/'", "\xC0\xAF", std::nullopt},
        {"encoded surrogate", "\xED\xA0\x80", std::nullopt},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text::decodeUtf8Strict(c.bytes), c.expected) << c.name;
}

TEST(Text, StrictUtf8DecodingKeepsOrSkipsALeadingByteOrderMarkAsAsked)
{
    const QByteArray bytes = "\xEF\xBB\xBFhi\xEF\xBB\xBF";
    const QChar bom(0xFEFF);
    EXPECT_EQ(Text::decodeUtf8Strict(bytes), QString(bom) + QStringLiteral("hi") + bom);
    EXPECT_EQ(Text::decodeUtf8Strict(bytes, Text::LeadingBom::skip), QStringLiteral("hi") + bom);
    EXPECT_EQ(Text::decodeUtf8Strict("\xEF\xBB", Text::LeadingBom::skip), std::nullopt);
}
