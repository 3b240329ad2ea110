// A minutes line never cuts the speaker's name: a short name stands whole beside the text, a
// long one puts the text under it, and one wider than the row wraps inside its capsule.
#include "UI/Models/MinutesRowLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <gtest/gtest.h>

TEST(MinutesRowLayout, ShowsTheWholeNameAndKeepsTheTextBesideItOnlyWhileThereIsRoom)
{
    QFont nameFont;
    nameFont.setBold(true);
    const QFontMetrics name(nameFont);
    const QFontMetrics text{QFont()};
    const QString longName = QStringLiteral("Dr. Alexandrina Featherstonehaugh-Montgomery");
    const QString sentence = QStringLiteral("The beta goes out on Friday; translations are still open for Korean.");
    struct Case {
        int width;
        QString speaker;
        bool beside;
        bool oneLine;
    };
    const Case cases[] = {
        {600, QStringLiteral("Mina"), true, true},
        {300, QStringLiteral("Mina"), true, true},
        {600, QStringLiteral("김민지"), true, true},
        {900, longName, true, true},
        {520, longName, false, true},
        {200, longName, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " " << c.speaker.toStdString());
        const MinutesRowLayout parts = MinutesRowLayout::of(c.width, text, name, c.speaker, text, sentence);
        const QRect needed = name.boundingRect(parts.name, MinutesRowLayout::nameFlags, c.speaker);
        EXPECT_LE(needed.height(), parts.name.height()) << "the whole name fits its capsule";
        EXPECT_EQ(parts.name.width() >= name.horizontalAdvance(c.speaker), c.oneLine);
        EXPECT_TRUE(parts.capsule.contains(parts.name));
        EXPECT_LE(parts.capsule.right(), c.width - MinutesRowLayout::margin);
        EXPECT_LE(parts.text.right(), c.width - MinutesRowLayout::margin);
        EXPECT_FALSE(parts.text.intersects(parts.capsule));
        EXPECT_FALSE(parts.time.intersects(parts.capsule));
        EXPECT_EQ(parts.text.top() == parts.capsule.top(), c.beside);
        if (!c.beside) {
            EXPECT_EQ(parts.text.left(), parts.capsule.left()) << "under the name";
        }
        EXPECT_GT(parts.height(), std::max(parts.capsule.bottom(), parts.text.bottom()));
    }
}
