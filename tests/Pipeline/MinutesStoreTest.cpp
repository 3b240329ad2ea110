#include "Pipeline/MinutesStore.h"

#include "Common/QtPrinters.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
MinutesEntry line(int speakerID, const QString& label, const QString& text)
{
    return MinutesEntry::make(QDateTime::currentDateTime(), speakerID, label, text);
}

Speaker speaker(int id, const QString& label)
{
    return Speaker{id, label, QList<float>(24, 0.5f), 1, false};
}

QStringList labels(const MinutesStore& store)
{
    QStringList result;
    for (const auto& entry : store.entries())
        result << entry.speakerLabel;
    return result;
}
}  // namespace

class MinutesStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.setEntries({line(2, "Speaker 2", "first"), line(3, "Speaker 3", "second"), line(2, "Speaker 2", "third"),
                          line(MinutesEntry::kUnattributedSpeakerID, MinutesEntry::unknownSpeakerLabel(), "?")});
        store.setKnownSpeakers({speaker(2, "Speaker 2"), speaker(3, "Speaker 3")});
    }

    MinutesStore store;
};

TEST_F(MinutesStoreTest, RenameTrimsAndTouchesOnlyThatSpeaker)
{
    QSignalSpy entriesSpy(&store, &MinutesStore::entriesChanged);
    QSignalSpy speakersSpy(&store, &MinutesStore::knownSpeakersChanged);

    EXPECT_TRUE(store.renameSpeaker(2, QStringLiteral("  민지 \n")));

    EXPECT_EQ(labels(store), (QStringList{"민지", "Speaker 3", "민지", "Unknown"}));
    EXPECT_EQ(store.knownSpeakers().at(0).label, QStringLiteral("민지"));
    EXPECT_EQ(store.knownSpeakers().at(1).label, QStringLiteral("Speaker 3"));
    EXPECT_EQ(store.entries().at(0).text, QStringLiteral("first"));
    EXPECT_EQ(entriesSpy.count(), 1);
    EXPECT_EQ(speakersSpy.count(), 1);
}

TEST_F(MinutesStoreTest, BlankNamesChangeNothing)
{
    QSignalSpy entriesSpy(&store, &MinutesStore::entriesChanged);
    const auto before = store.entries();
    for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral("\t\n")})
        EXPECT_FALSE(store.renameSpeaker(2, blank));
    EXPECT_EQ(store.entries(), before);
    EXPECT_EQ(entriesSpy.count(), 0);
}

TEST_F(MinutesStoreTest, RenamingSpeakerZeroRelabelsEveryUnattributedLine)
{
    store.appendEntry(line(0, MinutesEntry::unknownSpeakerLabel(), "again?"));
    store.renameSpeaker(0, QStringLiteral("Guest"));
    EXPECT_EQ(labels(store), (QStringList{"Speaker 2", "Speaker 3", "Speaker 2", "Guest", "Guest"}));
}
