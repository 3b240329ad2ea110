#include "Persona/AliasStore.h"

#include "Common/DiskFault.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {
const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

QList<std::pair<QString, QString>> pairs()
{
    QList<std::pair<QString, QString>> result;
    for (const Alias& alias : AliasStore::load())
        result.append({alias.wrong, alias.right});
    return result;
}

void store(const QList<std::pair<QString, QString>>& list)
{
    QList<Alias> aliases;
    for (const auto& [wrong, right] : list)
        aliases.append({wrong, right, referenceDate});
    AliasStore::save(aliases);
}
}  // namespace

TEST(AliasStore, AddTrimsAndKeepsOnePairPerWrongTextNewestLast)
{
    struct Step {
        const char* wrong;
        const char* right;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        QList<std::pair<QString, QString>> expected;
    };
    const Case cases[] = {
        {"trimmed", {{"  파리복스 \n", "\tParlivox "}}, {{"파리복스", "Parlivox"}}},
        {"equal after trimming", {{" same", "same "}}, {}},
        {"blank side", {{"   ", "x"}, {"x", "\n"}}, {}},
        {"case alone differs", {{"parlivox", "Parlivox"}}, {{"parlivox", "Parlivox"}}},
        {"upper-case wrong replaces and moves last",
         {{"minji", "민지"}, {"gmail", "Gmail"}, {"MINJI", "Minji"}},
         {{"gmail", "Gmail"}, {"MINJI", "Minji"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDataRoot root;
        for (const Step& step : c.steps)
            AliasStore::add(QString::fromUtf8(step.wrong), QString::fromUtf8(step.right));
        EXPECT_EQ(pairs(), c.expected);
        EXPECT_TRUE(TestEnvironment::movedAsideCopies(AliasStore::filePath()).isEmpty())
            << "a healthy file is not copied";
    }
}

TEST(AliasStore, FileListsSortedKeysAndCountsSecondsFromTheReferenceDate)
{
    ScopedDataRoot root;
    AliasStore::add("ab", "x", referenceDate.addMSecs(10'250));
    const QByteArray file = FileIO::readAll(AliasStore::filePath()).value_or(QByteArray());
    const qsizetype addedAt = file.indexOf("\"addedAt\"");
    const qsizetype right = file.indexOf("\"right\"");
    const qsizetype wrong = file.indexOf("\"wrong\"");
    EXPECT_TRUE(addedAt >= 0 && addedAt < right && right < wrong) << file.constData();
    EXPECT_TRUE(file.contains("10.25")) << file.constData();
    EXPECT_GT(file.count('\n'), 3) << "pretty-printed";
    EXPECT_EQ(AliasStore::load().value(0).addedAt, referenceDate.addMSecs(10'250));
}

TEST(AliasStore, ReadsFilesWrittenInTheStoredFormat)
{
    ScopedDataRoot root;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(AliasStore::filePath()).path()));
    ASSERT_TRUE(FileIO::writeAtomically(AliasStore::filePath(), R"([
  {
    "addedAt" : 768000000.5,
    "right" : "minji@example.com",
    "wrong" : "민지 골뱅이 example 닷컴"
  }
])"));
    const QList<Alias> aliases = AliasStore::load();
    ASSERT_EQ(aliases.size(), 1);
    EXPECT_EQ(aliases[0].wrong, QStringLiteral("민지 골뱅이 example 닷컴"));
    EXPECT_EQ(aliases[0].addedAt, referenceDate.addMSecs(768'000'000'500));
}

TEST(AliasStore, ADamagedFileIsKeptAsideBeforeAnythingNewIsWritten)
{
    const QByteArray damaged[] = {
        R"([{"right":"x","wrong":"ab"}])",  // "addedAt" missing
        R"([{"addedAt":"yesterday","right":"x","wrong":"ab"}])",
        R"({"addedAt":1,"right":"x","wrong":"ab"})",  // not a list
        "[{\"addedAt\":1,",  // cut short
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.constData());
        ScopedDataRoot root;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(AliasStore::filePath()).path()));
        ASSERT_TRUE(FileIO::writeAtomically(AliasStore::filePath(), bytes));
        {
            LogCapture log(QStringLiteral("app.parlivox.alias"));
            EXPECT_TRUE(AliasStore::load().isEmpty());
            ASSERT_EQ(log.lines().size(), 1);
            EXPECT_TRUE(log.lines().first().message.startsWith(QStringLiteral("decode failed: ")));
        }

        AliasStore::add("new", "pair");

        const QStringList copies = TestEnvironment::movedAsideCopies(AliasStore::filePath());
        ASSERT_EQ(copies.size(), 1);
        EXPECT_EQ(FileIO::readAll(copies.first()), bytes);
        EXPECT_EQ(pairs(), (QList<std::pair<QString, QString>>{{"new", "pair"}}));
    }
}

TEST(AliasStore, ApplyReplacesLongestWrongTextsFirstLiterallyIgnoringCase)
{
    struct Case {
        const char* name;
        QList<std::pair<QString, QString>> aliases;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"overlapping: longer first", {{"ab", "x"}, {"abc", "y"}}, "ABCD", "yD"},
        {"every occurrence", {{"팔리복스", "Parlivox"}}, "팔리복스 켜줘, 팔리복스!", "Parlivox 켜줘, Parlivox!"},
        {"equal lengths keep stored order", {{"aa", "b"}, {"bb", "c"}}, "aabb", "cb"},
        {"equal lengths, other order", {{"bb", "c"}, {"aa", "b"}}, "aabb", "bc"},
        {"pair that changes nothing is skipped", {{"same", "same"}, {"s", "z"}}, "SAME", "zAME"},
        {"regex characters are literal", {{"a.c", "X"}, {"(b*)", "$1\\1"}}, "abc a.c (b*) bbb", "abc X $1\\1 bbb"},
        {"no aliases", {}, "hello", "hello"},
        {"empty wrong text is never applied", {{"", "x"}}, "a b", "a b"},
        {"blank wrong texts are never applied", {{" ", "_"}, {"\n", "x"}, {"\t ", "y"}}, "a b\nc\t d", "a b\nc\t d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDataRoot root;
        store(c.aliases);
        EXPECT_EQ(AliasStore::apply(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected));
    }
}

TEST(AliasStore, AnAdditionTheDiskCannotTakeIsReportedNotLoggedAsAddedAndLosesNothing)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            AppPaths::overrideRoot(disk.folder());  // the child's own copy of the setting
            AliasStore::add("minji", "민지");
            const auto before = FileIO::readAll(AliasStore::filePath());
            LogCapture log(QStringLiteral("app.parlivox.alias"));
            disk.begin();
            QString error;
            const bool added = AliasStore::add(QString(5000, u'w'), "right", QDateTime::currentDateTimeUtc(), &error);
            disk.end();
            return QStringList{added ? "added" : error,
                               FileIO::readAll(AliasStore::filePath()) == before ? "kept" : "changed",
                               log.messages().join("|")};
        },
        [](const QString& cause) {
            return QStringList{cause, "kept", "save failed: " + cause};
        });
}
