#include "Conversation/MinutesEntry.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(MinutesEntry, EqualTextsStayDistinctEntries)
{
    const QDateTime at = QDateTime::currentDateTime();
    const MinutesEntry a = MinutesEntry::make(at, 1, QStringLiteral("A"), QStringLiteral("네"));
    const MinutesEntry b = MinutesEntry::make(at, 1, QStringLiteral("A"), QStringLiteral("네"));
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a, b);
    EXPECT_EQ((QSet<MinutesEntry>{a, b, a}).size(), 2);
}

TEST(MinutesEntry, EqualityAndHashTakeEveryField)
{
    const MinutesEntry base = MinutesEntry::make(QDateTime::currentDateTime(), 2, QStringLiteral("Speaker 2"),
                                                 QStringLiteral("hello"));
    MinutesEntry relabelled = base;
    relabelled.speakerLabel = QStringLiteral("Mina");
    MinutesEntry otherSpeaker = base;
    otherSpeaker.speakerID = 3;
    MinutesEntry later = base;
    later.timestamp = base.timestamp.addMSecs(1);

    for (const MinutesEntry& changed : {relabelled, otherSpeaker, later}) {
        EXPECT_NE(changed, base);
        EXPECT_FALSE((QSet<MinutesEntry>{base}).contains(changed));
    }
    EXPECT_TRUE((QSet<MinutesEntry>{base}).contains(MinutesEntry(base)));
}
