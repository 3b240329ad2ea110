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
#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {
using Role = ConversationTurn::Role;

QDateTime localTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

ConversationTurn turn(const QString& text, const QDateTime& at, Role role = Role::user)
{
    return ConversationTurn::make(role, text, at);
}

QList<QJsonObject> linesOf(const QString& path)
{
    QList<QJsonObject> result;
    const QByteArray data = FileIO::readAll(path).value_or(QByteArray());
    if (!data.isEmpty()) {
        EXPECT_TRUE(data.endsWith('\n')) << "every line ends with a line feed";
    }
    for (const QByteArray& line : data.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const auto document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        result.append(document.object());
    }
    return result;
}

QStringList textsOf(const QString& path)
{
    QStringList result;
    for (const QJsonObject& object : linesOf(path))
        result.append(object.value("text").toString());
    return result;
}

class ConversationHistoryTest : public ::testing::Test {
protected:
    // The texts in today's file once every queued line is written.
    QStringList writtenTexts()
    {
        history.waitForWrites();
        return textsOf(ConversationHistory::dayFilePath(now));
    }

    ScopedDataRoot root;
    ConversationHistory history;
    const QDateTime now = localTime(2025, 5, 12, 10, 0);
};
}  // namespace

TEST_F(ConversationHistoryTest, KeepsTwiceTheContextInMemoryAndHandsOutTheNewestSixteen)
{
    for (int i = 1; i <= 33; ++i)
        history.append(turn(QString::number(i), now));

    ASSERT_EQ(history.turns().size(), 32);
    EXPECT_EQ(history.turns().first().text, QStringLiteral("2"));
    EXPECT_EQ(history.turns().last().text, QStringLiteral("33"));
    const auto recent = history.recentTurns();
    ASSERT_EQ(recent.size(), 16);
    EXPECT_EQ(recent.first().text, QStringLiteral("18"));
    EXPECT_EQ(recent.last().text, QStringLiteral("33"));

    EXPECT_EQ(writtenTexts().size(), 33) << "the file keeps every turn";
}

TEST_F(ConversationHistoryTest, ATurnIsOneLineThatReadsBackToTheSameValues)
{
    const QString text = QStringLiteral("첫 줄\n두 번째 \"따옴표\" a/b \\ 끝\r\t🙂");
    const QDateTime at(QDate(2025, 5, 12), QTime(1, 2, 3, 456), Qt::UTC);
    const auto written = turn(text, at, Role::assistant);
    history.append(written);
    history.waitForWrites();

    const QString path = ConversationHistory::dayFilePath(at);
    EXPECT_EQ(FileIO::readAll(path).value_or(QByteArray()).count('\n'), 1);
    const auto lines = linesOf(path);
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject& line = lines.first();
    EXPECT_EQ(line.keys(), (QStringList{"id", "role", "text", "timestamp"}));
    EXPECT_TRUE(line.value("id").toString().contains(
        QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))));
    EXPECT_EQ(QUuid::fromString(line.value("id").toString()), written.id);
    EXPECT_EQ(line.value("role").toString(), QStringLiteral("assistant"));
    EXPECT_EQ(line.value("text").toString(), text);
    EXPECT_EQ(line.value("timestamp").toString(), QStringLiteral("2025-05-12T01:02:03.456Z"));
}

TEST_F(ConversationHistoryTest, LinesGoToTheLocalDayInOrderAcrossMidnight)
{
    ScopedTimeZone zone("Asia/Seoul");
    const QDateTime lateEvening = localTime(2025, 5, 11, 23, 59, 58);
    const QDateTime afterMidnight = localTime(2025, 5, 12, 0, 30);
    history.append(turn(QStringLiteral("a"), lateEvening));
    history.append(turn(QStringLiteral("b"), lateEvening.addSecs(1)));
    history.append(turn(QStringLiteral("c"), afterMidnight));
    history.append(turn(QStringLiteral("d"), afterMidnight.addSecs(1), Role::assistant));
    history.waitForWrites();

    const QString day11 = AppPaths::history() + QStringLiteral("/2025-05-11.jsonl");
    const QString day12 = AppPaths::history() + QStringLiteral("/2025-05-12.jsonl");
    EXPECT_EQ(ConversationHistory::dayFilePath(afterMidnight), day12);
    EXPECT_EQ(textsOf(day11), (QStringList{"a", "b"}));
    EXPECT_EQ(textsOf(day12), (QStringList{"c", "d"}));
    // 00:30 in Seoul is still the previous day in UTC.
    EXPECT_EQ(linesOf(day12).first().value("timestamp").toString(), QStringLiteral("2025-05-11T15:30:00.000Z"));
}

TEST_F(ConversationHistoryTest, ClearingKeepsTheDayFileAndLaterTurnsAreAppendedAfterIt)
{
    history.append(turn(QStringLiteral("before"), now));
    history.clear();
    EXPECT_TRUE(history.turns().isEmpty());
    history.append(turn(QStringLiteral("after"), now));
    EXPECT_EQ(history.turns().size(), 1);
    EXPECT_EQ(writtenTexts(), (QStringList{"before", "after"}));
}

TEST_F(ConversationHistoryTest, RapidAndConcurrentAppendsLoseNothingOnceTheHistoriesAreGone)
{
    {
        // Two writers on the same new day file: neither may replace the other's lines.
        ConversationHistory first;
        ConversationHistory second;
        for (int i = 0; i < 300; ++i) {
            first.append(turn(QStringLiteral("first %1").arg(i), now));
            second.append(turn(QStringLiteral("second %1").arg(i), now));
        }
    }  // destroying the histories drains their writers

    const QStringList texts = textsOf(ConversationHistory::dayFilePath(now));
    ASSERT_EQ(texts.size(), 600);
    QStringList firsts;
    QStringList seconds;
    for (const QString& text : texts)
        (text.startsWith(QStringLiteral("first")) ? firsts : seconds).append(text);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(firsts.value(i), QStringLiteral("first %1").arg(i));
        EXPECT_EQ(seconds.value(i), QStringLiteral("second %1").arg(i));
    }
}

TEST_F(ConversationHistoryTest, ARemovedHistoryFolderIsCreatedAgain)
{
    history.append(turn(QStringLiteral("one"), now));
    history.waitForWrites();
    ASSERT_TRUE(QDir(AppPaths::history()).removeRecursively());

    history.append(turn(QStringLiteral("two"), now));
    EXPECT_EQ(writtenTexts(), QStringList{"two"});
}

TEST_F(ConversationHistoryTest, AFailedWriteIsLoggedAndTheTurnStaysInMemory)
{
    ASSERT_TRUE(QDir().mkpath(AppPaths::root()));
    ASSERT_TRUE(FileIO::writeAtomically(AppPaths::history(), "not a folder"));
    LogCapture log(QStringLiteral("app.parlivox.history"));
    history.append(turn(QStringLiteral("kept"), now));
    history.waitForWrites();

    EXPECT_EQ(history.turns().size(), 1);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().type, QtCriticalMsg);
    EXPECT_TRUE(log.lines().first().message.startsWith(QStringLiteral("append to 2025-05-12.jsonl failed: ")));
}

TEST(ConversationHistoryOnAFailingDisk, ALineTheDiskCannotTakeLeavesWholeLinesAndTheNextTurnIsWritten)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            AppPaths::overrideRoot(disk.folder());  // the child's own copy of the setting
            const QDateTime now = localTime(2025, 5, 12, 10, 0);
            ConversationHistory history;
            LogCapture log(QStringLiteral("app.parlivox.history"));
            history.append(turn(QStringLiteral("first"), now));
            history.waitForWrites();
            disk.begin();
            history.append(turn(QString(5000, u'x'), now));
            history.waitForWrites();
            disk.end();
            history.append(turn(QStringLiteral("third"), now));
            history.waitForWrites();
            return QStringList{log.messages().join("|"), textsOf(ConversationHistory::dayFilePath(now)).join(",")};
        },
        [](const QString& cause) {
            return QStringList{"append to 2025-05-12.jsonl failed: " + cause, "first,third"};
        });
}
