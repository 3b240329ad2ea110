#include "Conversation/MinutesEntry.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(MinutesEntry, EqualityAndHashTakeEveryFieldSoEqualTextsStayDistinct)
{
    const MinutesEntry base =
        MinutesEntry::make(QDateTime::currentDateTime(), 2, QStringLiteral("Speaker 2"), QStringLiteral("hello"));
    const MinutesEntry sameWords = MinutesEntry::make(base.timestamp, 2, QStringLiteral("Speaker 2"),
                                                      QStringLiteral("hello"));  // a new id
    MinutesEntry relabelled = base;
    relabelled.speakerLabel = QStringLiteral("Mina");
    MinutesEntry otherSpeaker = base;
    otherSpeaker.speakerID = 3;
    MinutesEntry later = base;
    later.timestamp = base.timestamp.addMSecs(1);

    for (const MinutesEntry& changed : {sameWords, relabelled, otherSpeaker, later}) {
        EXPECT_NE(changed, base);
        EXPECT_FALSE((QSet<MinutesEntry>{base}).contains(changed));
    }
    EXPECT_EQ((QSet<MinutesEntry>{base, sameWords, base}).size(), 2);
    EXPECT_TRUE((QSet<MinutesEntry>{base}).contains(MinutesEntry(base)));
}
