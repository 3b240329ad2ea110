#include "Conversation/ConversationHistory.h"

#include "Common/DiskFault.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Common/TestEnvironment.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {
using Role = ConversationTurn::Role;

const QDateTime kNow(QDate(2025, 5, 12), QTime(10, 0), Qt::LocalTime);

ConversationTurn turn(const QString& text, const QDateTime& at = kNow, Role role = Role::user)
{
    return ConversationTurn::make(role, text, at);
}

// Every line of a day file, each of which must end with a line feed and parse on its own.
QList<QJsonObject> linesOf(const QString& path)
{
    QList<QJsonObject> result;
    const QByteArray data = FileIO::readAll(path).value_or(QByteArray());
    EXPECT_TRUE(data.isEmpty() || data.endsWith('\n'));
    for (const QByteArray& line : data.split('\n')) {
        QJsonParseError error{};
        if (!line.isEmpty())
            result.append(QJsonDocument::fromJson(line, &error).object());
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
    }
    return result;
}

QStringList textsOf(const QString& path = ConversationHistory::dayFilePath(kNow))
{
    QStringList result;
    for (const QJsonObject& object : linesOf(path))
        result.append(object.value("text").toString());
    return result;
}

class ConversationHistoryTest : public ::testing::Test {
protected:
    ScopedDataRoot root;
    ConversationHistory history;
};
}  // namespace

TEST_F(ConversationHistoryTest, KeepsTwiceTheContextInMemoryAndHandsOutTheNewestSixteen)
{
    history.append(turn(QStringLiteral("cleared")));
    history.clear();
    for (int i = 1; i <= 33; ++i)
        history.append(turn(QString::number(i)));

    ASSERT_EQ(history.turns().size(), 32);
    EXPECT_EQ(history.turns().first().text, QStringLiteral("2"));
    const auto recent = history.recentTurns();
    ASSERT_EQ(recent.size(), 16);
    EXPECT_EQ(recent.first().text, QStringLiteral("18"));
    EXPECT_EQ(recent.last().text, QStringLiteral("33"));
    history.waitForWrites();
    const QStringList texts = textsOf();
    EXPECT_EQ(texts.size(), 34) << "the file keeps every turn, cleared ones too";
    EXPECT_EQ(texts.first(), QStringLiteral("cleared"));
}

TEST_F(ConversationHistoryTest, ATurnIsOneLineThatReadsBackToTheSameValues)
{
    const QString text = QStringLiteral("첫 줄\n두 번째 \"따옴표\" a/b \\ 끝\r\t🙂");
    const QDateTime at(QDate(2025, 5, 12), QTime(1, 2, 3, 456), Qt::UTC);
    const auto written = turn(text, at, Role::assistant);
    history.append(written);
    history.waitForWrites();

    const auto lines = linesOf(ConversationHistory::dayFilePath(at));
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject& line = lines.first();
    EXPECT_EQ(line.keys(), (QStringList{"id", "role", "text", "timestamp"}));
    EXPECT_EQ(line.value("id").toString(), written.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(line.value("role").toString(), QStringLiteral("assistant"));
    EXPECT_EQ(line.value("text").toString(), text);
    EXPECT_EQ(line.value("timestamp").toString(), QStringLiteral("2025-05-12T01:02:03.456Z"));
}

TEST_F(ConversationHistoryTest, LinesGoToTheLocalDayInOrderAcrossMidnight)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QDateTime lateEvening(QDate(2025, 5, 11), QTime(23, 59, 59), Qt::LocalTime);
    const QDateTime afterMidnight(QDate(2025, 5, 12), QTime(0, 30), Qt::LocalTime);
    history.append(turn(QStringLiteral("a"), lateEvening));
    history.append(turn(QStringLiteral("b"), afterMidnight));
    history.append(turn(QStringLiteral("c"), afterMidnight.addSecs(1), Role::assistant));
    history.waitForWrites();

    const QString day12 = AppPaths::history() + QStringLiteral("/2025-05-12.jsonl");
    EXPECT_EQ(ConversationHistory::dayFilePath(afterMidnight), day12);
    EXPECT_EQ(textsOf(AppPaths::history() + QStringLiteral("/2025-05-11.jsonl")), QStringList{"a"});
    EXPECT_EQ(textsOf(day12), (QStringList{"b", "c"}));
    // 00:30 in Seoul is still the previous day in UTC.
    EXPECT_EQ(linesOf(day12).first().value("timestamp").toString(), QStringLiteral("2025-05-11T15:30:00.000Z"));
}

TEST_F(ConversationHistoryTest, RapidAndConcurrentAppendsLoseNothingOnceTheHistoriesAreGone)
{
    {
        // Two writers on the same new day file: neither may replace the other's lines.
        ConversationHistory first;
        ConversationHistory second;
        for (int i = 0; i < 300; ++i) {
            first.append(turn(QStringLiteral("first %1").arg(i)));
            second.append(turn(QStringLiteral("second %1").arg(i)));
        }
    }  // destroying the histories drains their writers

    const QStringList texts = textsOf();
    ASSERT_EQ(texts.size(), 600);
    const QStringList firsts = texts.filter(QStringLiteral("first"));
    const QStringList seconds = texts.filter(QStringLiteral("second"));
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(firsts.value(i), QStringLiteral("first %1").arg(i));
        EXPECT_EQ(seconds.value(i), QStringLiteral("second %1").arg(i));
    }
}

TEST_F(ConversationHistoryTest, ARemovedFolderIsCreatedAgainAndAFailedWriteIsLoggedKeepingTheTurn)
{
    history.append(turn(QStringLiteral("one")));
    history.waitForWrites();
    ASSERT_TRUE(QDir(AppPaths::history()).removeRecursively());
    history.append(turn(QStringLiteral("two")));
    history.waitForWrites();
    EXPECT_EQ(textsOf(), QStringList{"two"});

    ASSERT_TRUE(QDir(AppPaths::history()).removeRecursively());
    ASSERT_TRUE(FileIO::writeAtomically(AppPaths::history(), "not a folder"));
    LogCapture log(QStringLiteral("app.parlivox.history"));
    history.append(turn(QStringLiteral("kept")));
    history.waitForWrites();
    EXPECT_EQ(history.turns().last().text, QStringLiteral("kept"));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().type, QtCriticalMsg);
    EXPECT_TRUE(log.lines().first().message.startsWith(QStringLiteral("append to 2025-05-12.jsonl failed: ")));
}

TEST(ConversationHistoryOnAFailingDisk, ALineTheDiskCannotTakeLeavesWholeLinesAndTheNextTurnIsWritten)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            AppPaths::overrideRoot(disk.folder());  // the child's own copy of the setting
            ConversationHistory history;
            LogCapture log(QStringLiteral("app.parlivox.history"));
            history.append(turn(QStringLiteral("first")));
            history.waitForWrites();
            disk.begin();
            history.append(turn(QString(5000, u'x')));
            history.waitForWrites();
            disk.end();
            history.append(turn(QStringLiteral("third")));
            history.waitForWrites();
            return QStringList{log.messages().join("|"), textsOf().join(",")};
        },
        [](const QString& cause) {
            return QStringList{"append to 2025-05-12.jsonl failed: " + cause, "first,third"};
        });
}
