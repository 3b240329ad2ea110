#include "Analytics/RozeLogQueue.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

namespace {

QJsonObject record(int n)
{
    return {{QStringLiteral("n"), n}};
}

// Records 0 … count-1, in order.
void fill(RozeLogQueue& queue, int count)
{
    for (int n = 0; n < count; ++n)
        ASSERT_TRUE(queue.enqueue(record(n)));
}

QList<int> numbersOf(const QList<RozeLogQueue::Item>& items)
{
    QList<int> numbers;
    for (const auto& item : items)
        numbers.append(item.record[QStringLiteral("n")].toInt());
    return numbers;
}

class RozeLogQueueTest : public ::testing::Test {
protected:
    QString directory() const { return m_dir.path() + QStringLiteral("/queue"); }
    QStringList files() const { return QDir(directory()).entryList(QDir::Files); }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(RozeLogQueueTest, KeepsOneOwnerOnlyFilePerRecordOldestFirstAcrossARestart)
{
    {
        RozeLogQueue queue(directory(), 100);
        fill(queue, 30);
        EXPECT_EQ(numbersOf(queue.oldest(3)), (QList<int>{0, 1, 2}));
        EXPECT_EQ(queue.size(), 30);  // reading takes nothing away
        EXPECT_EQ(TestEnvironment::permissionBits(directory()), 0700u);
        const QRegularExpression timeAndSequence(QStringLiteral("^\\d{13}-\\d{8}\\.json$"));
        for (const QString& file : files()) {
            EXPECT_EQ(TestEnvironment::permissionBits(directory() + QLatin1Char('/') + file), 0600u);
            EXPECT_TRUE(timeAndSequence.match(file).hasMatch()) << file.toStdString();
        }
    }
    QFile stray(directory() + QStringLiteral("/notes.txt"));  // not a record: ignored and kept
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    // A record queued by an earlier version, whose names held a stray "%2", is still sent first.
    QFile older(directory() + QStringLiteral("/0000000000001-%2-00000000.json"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("{\"n\": -1}");
    older.close();

    RozeLogQueue reopened(directory(), 100);
    reopened.enqueue(record(30));
    QList<int> all(32);
    std::iota(all.begin(), all.end(), -1);
    const auto items = reopened.oldest(100);
    EXPECT_EQ(numbersOf(items), all);

    reopened.remove({items[0].name, items[2].name, QStringLiteral("not-queued.json")});
    EXPECT_EQ(numbersOf(reopened.oldest(3)), (QList<int>{0, 2, 3}));
    EXPECT_EQ(files().size(), 31);  // 30 records and the stray file
}

TEST_F(RozeLogQueueTest, DropsTheOldestBeyondItsCapacity)
{
    RozeLogQueue queue(directory(), 3);
    fill(queue, 5);
    EXPECT_EQ(numbersOf(queue.oldest(10)), (QList<int>{2, 3, 4}));
    EXPECT_EQ(queue.dropped(), 2u);
    EXPECT_EQ(files().size(), 3);

    // A smaller capacity at the next start trims what an earlier run left.
    RozeLogQueue smaller(directory(), 2);
    EXPECT_EQ(numbersOf(smaller.oldest(10)), (QList<int>{3, 4}));
    EXPECT_EQ(files().size(), 2);
}

TEST_F(RozeLogQueueTest, DeletesUnreadableFilesAndGoesOn)
{
    {
        RozeLogQueue queue(directory(), 100);
        fill(queue, 3);
    }
    const QStringList names = files();
    const auto overwrite = [&](const QString& name, const QByteArray& data) {
        QFile file(directory() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
    };
    overwrite(names[0], "{\"n\": 0,");  // cut short
    overwrite(names[1], "[1, 2]");  // not an object

    RozeLogQueue queue(directory(), 100);
    EXPECT_EQ(queue.size(), 3);
    const auto items = queue.oldest(1);
    EXPECT_EQ(numbersOf(items), QList<int>{2});
    EXPECT_EQ(queue.size(), 1);
    EXPECT_EQ(files(), QStringList{items.value(0).name});
}

TEST_F(RozeLogQueueTest, ReportsAFailedWrite)
{
    QFile blocker(directory());  // a file where the directory should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    RozeLogQueue queue(directory(), 100);
    QString error;
    EXPECT_FALSE(queue.enqueue(record(1), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(queue.size(), 0);
}
