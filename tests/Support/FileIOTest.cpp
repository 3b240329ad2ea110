#include "Support/FileIO.h"
#include "Common/DiskFault.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <csignal>
#include <iostream>

#include <sys/wait.h>
#include <unistd.h>

TEST(FileIO, AtomicWriteReplacesContentAndAppliesPermissionsBeforeItIsVisible)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("secret.json");
    ASSERT_TRUE(FileIO::writeAtomically(path, "old"));
    ASSERT_TRUE(FileIO::writeAtomically(path, "new", nullptr, true));
    EXPECT_EQ(FileIO::readAll(path), QByteArray("new"));
    EXPECT_EQ(TestEnvironment::permissionBits(path), 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file may be left";
}

TEST(FileIO, AppendCreatesThenAppends)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("day.jsonl");
    ASSERT_TRUE(FileIO::append(path, "a\n"));
    ASSERT_TRUE(FileIO::append(path, "b\n"));
    EXPECT_EQ(FileIO::readAll(path), QByteArray("a\nb\n"));
}

TEST(FileIO, MissingFilesAndFoldersFailWithAReasonWhileAnEmptyFileReadsEmpty)
{
    QTemporaryDir dir;
    QString writeError;
    EXPECT_FALSE(FileIO::writeAtomically(dir.filePath("missing/x.txt"), "x", &writeError));
    EXPECT_FALSE(writeError.isEmpty());
    QString readError;
    EXPECT_EQ(FileIO::readAll(dir.filePath("none"), &readError), std::nullopt);
    EXPECT_FALSE(readError.isEmpty());
    ASSERT_TRUE(FileIO::writeAtomically(dir.filePath("empty"), QByteArray()));
    EXPECT_EQ(FileIO::readAll(dir.filePath("empty")), QByteArray());
}

TEST(FileIO, MoveAsideKeepsTheDamagedFileUnderAStampedName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("aliases.json");
    ASSERT_TRUE(FileIO::writeAtomically(path, "{broken"));
    const QString first = FileIO::moveAside(path);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(QFileInfo(first).fileName().contains(QRegularExpression(R"(^aliases\.json\.corrupt-\d{8}-\d{6}$)")));
    EXPECT_EQ(FileIO::readAll(first), QByteArray("{broken"));

    // A second damaged file in the same second must not replace the first one kept aside.
    ASSERT_TRUE(FileIO::writeAtomically(path, "{again"));
    const QString second = FileIO::moveAside(path);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(FileIO::readAll(first), QByteArray("{broken"));
}

TEST(FileIO, EnsureDirectoryCanRestrictToTheOwner)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a/b/private");
    ASSERT_TRUE(FileIO::ensureDirectory(path, true));
    EXPECT_EQ(TestEnvironment::permissionBits(path), 0700u);
    EXPECT_TRUE(FileIO::ensureDirectory(path)) << "an existing directory is success";
}

TEST(FileIO, AReplacementTheDiskCannotTakeKeepsTheOldFileAndNamesTheReason)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            const QString path = disk.folder() + "/defaults.json";
            FileIO::writeAtomically(path, "old");
            disk.begin();
            QString error;
            const bool written = FileIO::writeAtomically(path, QByteArray(5000, 'n'), &error);
            disk.end();
            return QStringList{written ? "written" : error, FileIO::readAll(path).value_or("missing"),
                               QDir(disk.folder()).entryList(QDir::Files | QDir::Hidden).join(",")};
        },
        [](const QString& cause) {
            return QStringList{cause, "old", "defaults.json"};
        });
}

TEST(FileIO, AnAppendTheDiskCannotTakeLeavesNoHalfLineAndTheNextOneIsWhole)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            const QString path = disk.folder() + "/day.jsonl";
            FileIO::append(path, "first\n");
            disk.begin();
            QString error;
            const bool appended = FileIO::append(path, QByteArray(5000, 'x') + '\n', &error);
            FileIO::append(disk.folder() + "/new.md", QByteArray(5000, 'y'));  // a file that was not there
            disk.end();
            FileIO::append(path, "third\n");
            return QStringList{appended ? "appended" : error, FileIO::readAll(path).value_or("missing"),
                               QDir(disk.folder()).entryList(QDir::Files | QDir::Hidden).join(",")};
        },
        [](const QString& cause) {
            return QStringList{cause, "first\nthird\n", "day.jsonl"};
        });
}

namespace {
// Kills a child that replaces `path` again and again, `rounds` times at moments of its own,
// and returns the names of the temporaries left beside it.
QStringList leftoversOfKilledWrites(const QString& path, int rounds, qsizetype size = 1 << 20)
{
    QRandomGenerator random(22);
    const QByteArray big(size, 'x');
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int n = 0;; ++n)
                FileIO::writeAtomically(path, "{\"round\": " + QByteArray::number(n) + ", \"pad\": \"" + big + "\"}");
        }
        ::usleep(2000 + random.bounded(20000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    return QDir(QFileInfo(path).absolutePath()).entryList({"*.tmp-*"}, QDir::Files | QDir::Hidden);
}
}  // namespace

TEST(FileIO, WritesKilledAtAnyMomentLeaveNoTemporaryOnceTheStoreHasStarted)
{
    // The test's own disk and, where there is one, a memory file system.
    QStringList bases = {QDir::tempPath()};
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        bases << QStringLiteral("/dev/shm");
    for (const QString& base : bases) {
        QTemporaryDir dir(base + QStringLiteral("/fileio-XXXXXX"));
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("defaults.json");
        const QStringList left = leftoversOfKilledWrites(path, 25);
        std::cout << base.toStdString() << ": " << left.size() << " temporaries left by 25 killed writes\n";
        // Where the disk has unnamed files only the instant between link and rename can leave
        // one; elsewhere the settings store removes them when it starts.
        const UserDefaults settings(path);
        EXPECT_EQ(QDir(dir.path()).entryList({"*.tmp-*"}, QDir::Files | QDir::Hidden), QStringList()) << base.toStdString();
        // The file is whole: the old content or the new, never a mix.
        EXPECT_TRUE(settings.filePath() == path);
        const QByteArray text = FileIO::readAll(path).value_or(QByteArray());
        EXPECT_TRUE(text.startsWith("{\"round\": ") && text.endsWith("\"}")) << base.toStdString();
    }
}

TEST(FileIO, OnASmallDiskKilledWritesLeaveNothingAndItsSpaceStaysFree)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            const QString path = disk.folder() + "/defaults.json";
            // A tenth of the 1 MiB disk each: left behind, a few of them would fill it.
            leftoversOfKilledWrites(path, 25, 100 * 1024);
            const UserDefaults settings(path);
            const QStringList left = QDir(disk.folder()).entryList({"*.tmp-*"}, QDir::Files | QDir::Hidden);
            QString error;
            const bool written = FileIO::writeAtomically(path, QByteArray(300 * 1024, 'y'), &error);
            return QStringList{QString::number(left.size()), written ? "a whole new file fits" : error};
        },
        [](const QString&) { return QStringList{"0", "a whole new file fits"}; });
}

TEST(FileIO, LeftoverTemporariesGoAndNothingElse)
{
    QTemporaryDir dir;
    for (const char* name : {"defaults.json", "defaults.json.tmp-1x9zq0", "e.ics.tmp-3k", "notes.tmp-keep.md",
                             "defaults.json.tmp-", "x.tmp-ABC"})
        ASSERT_TRUE(FileIO::writeAtomically(dir.filePath(name), "x"));
    EXPECT_EQ(FileIO::removeLeftoverTemporaries(dir.path()), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"defaults.json", "defaults.json.tmp-", "notes.tmp-keep.md", "x.tmp-ABC"}));
}
