#include "Storage/SpeakerProfileStore.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <limits>

namespace {
const QDateTime kReferenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

SpeakerProfile profile(const QString& label, float seed = 0.25f, qint64 secondsAfterReference = 10)
{
    QList<float> embedding;
    for (int i = 0; i < 24; ++i)
        embedding << seed * static_cast<float>(i + 1) / 7.0f;
    return {label, embedding, kReferenceDate.addSecs(secondsAfterReference), {}};
}

QStringList labels(const QList<SpeakerProfile>& profiles)
{
    QStringList result;
    for (const auto& p : profiles)
        result << p.label;
    return result;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(FileIO::writeAtomically(path, data));
}
}  // namespace

class SpeakerProfileStoreTest : public ::testing::Test {
protected:
    ScopedDataRoot root;
};

TEST_F(SpeakerProfileStoreTest, RoundTripKeepsEveryFloatExactly)
{
    SpeakerProfile tricky = profile(QStringLiteral("민지"));
    tricky.embedding[0] = 0.1f;
    tricky.embedding[1] = -1.0e-7f;
    tricky.embedding[2] = std::numeric_limits<float>::max();
    tricky.embedding[3] = std::numeric_limits<float>::denorm_min();
    tricky.enrolledAt = QDateTime(QDate(2025, 5, 12), QTime(8, 30, 0, 125), Qt::UTC);
    SpeakerProfile printed = profile(QStringLiteral("Alex"), -3.5f);
    printed.voiceprint = {0.5f, -0.25f, std::numeric_limits<float>::min()};
    const QList<SpeakerProfile> profiles{tricky, printed};

    SpeakerProfileStore::save(profiles);

    EXPECT_EQ(SpeakerProfileStore::load(), profiles);
}

TEST_F(SpeakerProfileStoreTest, FileIsAPrettyArrayWithSortedKeysAndReferenceDates)
{
    SpeakerProfile printed = profile(QStringLiteral("B"));
    printed.voiceprint = {0.5f};
    SpeakerProfileStore::save({profile(QStringLiteral("A")), printed});

    const QByteArray text = *FileIO::readAll(SpeakerProfileStore::filePath());
    EXPECT_TRUE(text.startsWith("[\n"));
    const auto embeddingAt = text.indexOf("\"embedding\"");
    const auto enrolledAt = text.indexOf("\"enrolledAt\": 10");
    const auto labelAt = text.indexOf("\"label\": \"A\"");
    ASSERT_GE(embeddingAt, 0);
    EXPECT_LT(embeddingAt, enrolledAt);
    EXPECT_LT(enrolledAt, labelAt);
    // A profile without a voiceprint is written as before; one with it gets the key last.
    EXPECT_EQ(text.count("\"voiceprint\""), 1);
    EXPECT_GT(text.indexOf("\"voiceprint\""), text.indexOf("\"label\": \"B\""));
}

TEST_F(SpeakerProfileStoreTest, ReadsTheCompactFormOfOtherWriters)
{
    writeFile(SpeakerProfileStore::filePath(), R"([{"label":"Kim","embedding":[1,0.5,-2],"enrolledAt":768738600.5}])");
    const auto loaded = SpeakerProfileStore::load();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded.at(0).embedding, (QList<float>{1.0f, 0.5f, -2.0f}));
    EXPECT_EQ(loaded.at(0).enrolledAt, QDateTime(QDate(2025, 5, 12), QTime(10, 30, 0, 500), Qt::UTC));
    EXPECT_TRUE(loaded.at(0).voiceprint.isEmpty());  // stored before voiceprints
}

TEST_F(SpeakerProfileStoreTest, AppendReplacesTheSameLabelIgnoringCaseAndRenameRelabelsEveryMatch)
{
    SpeakerProfileStore::save(
        {profile("mina", 1.0f), profile("Speaker 1"), profile("Alex"), profile("speaker 1", 0.5f)});
    SpeakerProfileStore::append(profile("MINA", 2.0f));
    EXPECT_EQ(labels(SpeakerProfileStore::load()), (QStringList{"Speaker 1", "Alex", "speaker 1", "MINA"}));
    EXPECT_EQ(SpeakerProfileStore::load().last(), profile("MINA", 2.0f));

    SpeakerProfileStore::rename(QStringLiteral("SPEAKER 1"), QStringLiteral("Alex"));  // clashes allowed
    EXPECT_EQ(labels(SpeakerProfileStore::load()), (QStringList{"Alex", "Alex", "Alex", "MINA"}));
}

TEST_F(SpeakerProfileStoreTest, DamagedFilesReadAsEmptyAndAreMovedAsideBeforeTheNextWrite)
{
    const QList<std::pair<const char*, QByteArray>> damaged{
        {"missing embedding", R"([{"label":"A","enrolledAt":1}])"},
        {"missing label", R"([{"embedding":[1],"enrolledAt":1}])"},
        {"missing date", R"([{"label":"A","embedding":[1]}])"},
        {"null in the embedding", R"([{"label":"A","embedding":[1,null],"enrolledAt":1}])"},
        {"number beyond float", R"([{"label":"A","embedding":[1e300],"enrolledAt":1}])"},
        {"label of another type", R"([{"label":7,"embedding":[1],"enrolledAt":1}])"},
        {"object instead of list", R"({"label":"A","embedding":[1],"enrolledAt":1})"},
        {"truncated", R"([{"label":"A","embedding":[1,)"},
        {"voiceprint of another type", R"([{"label":"A","embedding":[1],"enrolledAt":1,"voiceprint":"x"}])"},
        {"null in the voiceprint", R"([{"label":"A","embedding":[1],"enrolledAt":1,"voiceprint":[1,null]}])"},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        ScopedDataRoot fresh;
        writeFile(SpeakerProfileStore::filePath(), bytes);
        {
            LogCapture log(QStringLiteral("app.parlivox.speaker.profiles"));
            EXPECT_TRUE(SpeakerProfileStore::load().isEmpty());
            EXPECT_TRUE(log.messages().join(QLatin1Char('\n')).contains(QStringLiteral("decode failed: ")));
        }

        SpeakerProfileStore::append(profile("New"));

        EXPECT_EQ(labels(SpeakerProfileStore::load()), QStringList{"New"});
        const QStringList aside = TestEnvironment::movedAsideCopies(SpeakerProfileStore::filePath());
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(FileIO::readAll(aside.first()), bytes);
    }
}

TEST_F(SpeakerProfileStoreTest, NonFiniteEmbeddingsAreRefusedAndTheFileStaysReadable)
{
    SpeakerProfileStore::save({profile("Alex")});
    const QByteArray before = *FileIO::readAll(SpeakerProfileStore::filePath());

    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        SpeakerProfile broken = profile("Mina");
        broken.embedding[5] = bad;
        EXPECT_FALSE(broken.isEncodable());
        broken.embedding[5] = 0;
        broken.voiceprint = {1, bad};
        EXPECT_FALSE(broken.isEncodable());
        SpeakerProfileStore::append(broken);
        EXPECT_EQ(FileIO::readAll(SpeakerProfileStore::filePath()), before);
    }
    EXPECT_EQ(labels(SpeakerProfileStore::load()), QStringList{"Alex"});
}
