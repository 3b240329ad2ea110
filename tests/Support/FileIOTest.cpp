#include "Support/FileIO.h"
#include "Common/DiskFault.h"
#include "Common/LogCapture.h"
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

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <iostream>
#include <thread>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// A failure is told in the system's own words; `fail` fills the error only when one is asked for.
TEST(FileIO, SaysTheSystemsReasonAndFailsIntoAnyErrorGiven)
{
    const struct {
        int code;
        const char* reason;
    } cases[] = {{ENOSPC, "No space left on device"}, {EROFS, "Read-only file system"}, {EACCES, "Permission denied"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileIO::systemReason(c.code), QString(c.reason)) << c.code;
        QString error;
        EXPECT_FALSE(FileIO::fail(&error, FileIO::systemReason(c.code)));
        EXPECT_EQ(error, QString(c.reason));
        EXPECT_FALSE(FileIO::fail(nullptr, c.reason));
    }
}

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

namespace {
#if defined(__x86_64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr unsigned kAuditArch = 0;
#endif

// A system call the kernel is to refuse, the way a file system without unnamed files does.
struct Refusal {
    const char* name;
    long call;  // 0: none
    unsigned flagsMask;  // refused only when its third argument has these bits (0: always)
    int error;
};

// Runs `work` on a thread of its own under a system-call filter that makes `refusal.call` fail
// with its error; the filter goes with the thread. False when the filter cannot be had here.
bool runRefusing(const Refusal& refusal, const std::function<void()>& work)
{
    bool filtered = false;
    std::thread thread([&] {
        const auto arg2 = static_cast<std::uint32_t>(offsetof(seccomp_data, args) + 2 * sizeof(std::uint64_t));
        const std::uint32_t fail = SECCOMP_RET_ERRNO | (std::uint32_t(refusal.error) & SECCOMP_RET_DATA);
        sock_filter program[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 0, 6),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, std::uint32_t(refusal.call), 0, 4),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, arg2),  // the low half, on these little-endian machines
            BPF_STMT(BPF_ALU | BPF_AND | BPF_K, refusal.flagsMask),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, refusal.flagsMask, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, fail),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
        filtered = refusal.call == 0 || (kAuditArch != 0 && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                                         ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) == 0);
        if (filtered)
            work();
    });
    thread.join();
    return filtered;
}

// The process's file-creation mask for a while.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_previous); }

private:
    const mode_t m_previous;
};
}  // namespace

TEST(FileIO, AReplacedFileKeepsItsModeAndAFileSystemWithoutUnnamedFilesGetsANamedTemporary)
{
    const ScopedUmask mask(022);
    // O_TMPFILE includes O_DIRECTORY: only its own bit tells it apart.
    constexpr unsigned kUnnamed = 020000000;
    const Refusal refusals[] = {
        {"nothing refused", 0, 0, 0},
        {"O_TMPFILE: EOPNOTSUPP", SYS_openat, kUnnamed, EOPNOTSUPP},
        {"O_TMPFILE: EISDIR (older kernels)", SYS_openat, kUnnamed, EISDIR},
        {"O_TMPFILE: EINVAL (older kernels)", SYS_openat, kUnnamed, EINVAL},
        {"linkat: ENOENT (no /proc)", SYS_linkat, 0, ENOENT},
        {"linkat: EPERM", SYS_linkat, 0, EPERM},
    };
    // name, its mode before (0: new), whether written owner-only, its mode after.
    const std::tuple<QString, unsigned, bool, unsigned> files[] = {
        {"calendar.ics", 0600, false, 0600}, {"notes.md", 0640, false, 0640},     {"shared.txt", 0664, false, 0664},
        {"new.json", 0, false, 0644},        {"defaults.json", 0644, true, 0600}, {"keys.json", 0, true, 0600},
    };
    for (const Refusal& refusal : refusals) {
        QTemporaryDir dir;
        for (const auto& [name, before, ownerOnly, after] : files) {
            if (before == 0)
                continue;
            ASSERT_TRUE(FileIO::writeAtomically(dir.filePath(name), "old"));
            ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath(name)).constData(), before), 0);
        }
        QStringList failures;
        const bool filtered = runRefusing(refusal, [&] {
            for (const auto& [name, before, ownerOnly, after] : files) {
                QString error;
                if (!FileIO::writeAtomically(dir.filePath(name), "new " + name.toUtf8(), &error, ownerOnly))
                    failures.append(name + ": " + error);
            }
        });
        if (!filtered) {
            std::cout << refusal.name << ": no system-call filter here, not checked\n";
            continue;
        }
        EXPECT_EQ(failures, QStringList()) << refusal.name;
        for (const auto& [name, before, ownerOnly, after] : files) {
            EXPECT_EQ(FileIO::readAll(dir.filePath(name)), "new " + name.toUtf8()) << refusal.name;
            EXPECT_EQ(TestEnvironment::permissionBits(dir.filePath(name)), after)
                << refusal.name << " " << name.toStdString();
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(std::size(files)))
            << refusal.name << ": no temporary may be left";
    }
}

// Appended lines start on a line of their own: a last line that a crash cut short gets its line
// feed first, said once in the log, so the next line is never glued onto the torn one.
TEST(FileIO, AppendCreatesThenAppends)
{
    const struct {
        std::optional<QByteArray> before;  // nothing: no file yet
        QByteArray after;  // once "a\n" and "b\n" are appended
    } cases[] = {
        {std::nullopt, "a\nb\n"},
        {"", "a\nb\n"},
        {"x\n\n", "x\n\na\nb\n"},
        {"x\n{\"text\":\"a long reply cut sh", "x\n{\"text\":\"a long reply cut sh\na\nb\n"},
        {"{", "{\na\nb\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("day.jsonl");
        if (c.before) {
            ASSERT_TRUE(FileIO::writeAtomically(path, *c.before));
        }
        LogCapture log("app.parlivox.files");
        ASSERT_TRUE(FileIO::append(path, "a\n"));
        ASSERT_TRUE(FileIO::append(path, "b\n"));
        EXPECT_EQ(FileIO::readAll(path), c.after);
        const bool torn = c.before && !c.before->isEmpty() && !c.before->endsWith('\n');
        EXPECT_EQ(log.messages(), torn ? QStringList{"day.jsonl ended in a line cut short; it is ended there, and new "
                                                     "lines follow it"}
                                       : QStringList())
            << c.before.value_or("(none)").constData();
    }
}

// A record appended to a FIFO would be lost in the pipe (a large one would block the writer),
// and opening one to read waits for a writer: whatever stands where a file belongs that is
// not one, or a link to it, is refused at once and left as it is.
TEST(FileIO, WhatIsNotARegularFileIsNeitherAppendedToNorOpenedForReading)
{
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("pipe"), dir.filePath("link-to-pipe")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("device")));
    ASSERT_TRUE(FileIO::writeAtomically(dir.filePath("file"), "a\n"));
    ASSERT_TRUE(QFile::link(dir.filePath("file"), dir.filePath("link-to-file")));
    const struct {
        const char* name;
        const char* refusal;  // nothing for a file
    } cases[] = {
        {"pipe", "Not a regular file"}, {"link-to-pipe", "Not a regular file"}, {"folder", "Is a directory"},
        {"device", "Not a regular file"}, {"file", nullptr},  {"link-to-file", nullptr},
    };
    // Whatever a wrong write put into the pipe is seen here.
    const int reader = ::open(QFile::encodeName(dir.filePath("pipe")).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        QString appendError;
        EXPECT_EQ(FileIO::append(path, "b\n", &appendError), !c.refusal);
        QFile file(path);
        QString readError;
        EXPECT_EQ(FileIO::openForReading(file, &readError), !c.refusal);
        EXPECT_EQ(appendError, c.refusal ? c.refusal : "");
        EXPECT_EQ(readError, c.refusal ? c.refusal : "");
    }
    char byte;
    EXPECT_EQ(::read(reader, &byte, 1), 0);
    ::close(reader);
    EXPECT_EQ(FileIO::readAll(dir.filePath("file")), QByteArray("a\nb\nb\n"));
    struct stat pipe {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("pipe")).constData(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
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
