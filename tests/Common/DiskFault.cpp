#include "Common/DiskFault.h"

#include "Common/QtPrinters.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <array>
#include <cerrno>
#include <csignal>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {
constexpr int kSkipStatus = 77;  // the fault cannot be arranged here
constexpr int kBrokenStatus = 3;  // the fault was arranged but could not be switched
constexpr rlim_t kSizeSlack = 64;  // bytes a file may still grow past the longest one under the size limit

struct Fault {
    DiskFault::Kind kind;
    const char* name;
    int error;
};
constexpr std::array<Fault, 3> kFaults{{
    {DiskFault::Kind::fileSizeLimit, "file size limit", EFBIG},
    {DiskFault::Kind::fullDisk, "full disk", ENOSPC},
    {DiskFault::Kind::readOnlyDisk, "read-only disk", EROFS},
}};

QString systemText(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// Hands the lines to the test program and ends the child without running the parent's
// exit handlers or destructors.
[[noreturn]] void finish(int channel, int status, const QStringList& lines)
{
    const QByteArray bytes = QJsonDocument(QJsonArray::fromStringList(lines)).toJson(QJsonDocument::Compact);
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(channel, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n < 0 && errno != EINTR)
            break;
        sent += std::max<ssize_t>(n, 0);
    }
    ::_exit(status);
}

}  // namespace

void DiskFault::expectReports(const Scenario& scenario, const std::function<QStringList(const QString&)>& expected,
                              const QList<Kind>& kinds)
{
    QStringList skipped;
    for (const Fault& fault : kFaults) {
        if (!kinds.contains(fault.kind))
            continue;
        QString reason;
        if (const auto report = runInChild(fault.kind, scenario, &reason))
            EXPECT_EQ(*report, expected(systemText(fault.error))) << fault.name;
        else
            skipped.append(QString::fromUtf8(fault.name) + QStringLiteral(": ") + reason);
    }
    if (skipped.size() == kinds.size())
        GTEST_SKIP() << skipped.join(QStringLiteral("; ")).toStdString();
}

std::optional<QStringList> DiskFault::runInChild(Kind kind, const Scenario& scenario, QString* skipReason)
{
    const QTemporaryDir base;
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        *skipReason = QStringLiteral("no pipe: ") + systemText(errno);
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        *skipReason = QStringLiteral("no child process: ") + systemText(errno);
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        DiskFault disk(kind, base.path(), channel[1]);
        const QStringList report = scenario(disk);
        disk.end();
        finish(channel[1], 0, report);
    }
    ::close(channel[1]);
    QByteArray output;
    std::array<char, 4096> buffer{};
    for (ssize_t n; (n = ::read(channel[0], buffer.data(), buffer.size())) != 0;) {
        if (n > 0)
            output.append(buffer.data(), n);
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    QStringList lines;
    for (const QJsonValue& line : QJsonDocument::fromJson(output).array())
        lines.append(line.toString());
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSkipStatus) {
        *skipReason = lines.join(QLatin1Char(' '));
        return std::nullopt;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return lines;
    return QStringList{QStringLiteral("the scenario's process ended with status %1: %2")
                           .arg(status)
                           .arg(lines.join(QLatin1Char(' ')))};
}

DiskFault::DiskFault(Kind kind, const QString& base, int channel) : m_kind(kind), m_channel(channel)
{
    if (kind == Kind::fileSizeLimit) {
        // Past the limit write() then fails with EFBIG instead of the signal ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
    } else {
        // A mount of our own, in a mount namespace of our own, so nobody else ever sees it.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", encoded(base).constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0700") != 0)
            abandon("mounting a private tmpfs (it needs root with the right to mount)", kSkipStatus);
        m_mount = base;
    }
    m_folder = base + QStringLiteral("/data");
    if (!QDir().mkpath(m_folder))
        abandon("making the folder", kSkipStatus);
}

void DiskFault::begin()
{
    if (m_active)
        return;
    m_active = true;
    switch (m_kind) {
    case Kind::fileSizeLimit: {
        qint64 longest = 0;
        for (QDirIterator it(m_folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            longest = std::max(longest, QFileInfo(it.next()).size());
        rlimit lowered{};
        if (::getrlimit(RLIMIT_FSIZE, &m_sizeLimit) != 0)
            abandon("reading the file size limit", kBrokenStatus);
        lowered = {rlim_t(longest) + kSizeSlack, m_sizeLimit.rlim_max};
        if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0)
            abandon("lowering the file size limit", kBrokenStatus);
        return;
    }
    case Kind::fullDisk: {
        const int filler = ::open(encoded(m_mount + QStringLiteral("/filler")).constData(),
                                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const QByteArray block(64 * 1024, '\0');
        while (filler >= 0 && (::write(filler, block.constData(), size_t(block.size())) > 0 || errno == EINTR)) {
        }
        const int cause = errno;
        if (filler >= 0)
            ::close(filler);
        errno = cause;
        if (filler < 0 || cause != ENOSPC)
            abandon("filling the disk", kBrokenStatus);
        return;
    }
    case Kind::readOnlyDisk:
        if (::mount(nullptr, encoded(m_mount).constData(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                    nullptr) != 0)
            abandon("remounting the disk read-only", kBrokenStatus);
        return;
    }
}

void DiskFault::end()
{
    if (!m_active)
        return;
    m_active = false;
    switch (m_kind) {
    case Kind::fileSizeLimit:
        if (::setrlimit(RLIMIT_FSIZE, &m_sizeLimit) != 0)
            abandon("restoring the file size limit", kBrokenStatus);
        return;
    case Kind::fullDisk:
        if (::unlink(encoded(m_mount + QStringLiteral("/filler")).constData()) != 0)
            abandon("freeing the disk", kBrokenStatus);
        return;
    case Kind::readOnlyDisk:
        if (::mount(nullptr, encoded(m_mount).constData(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV, nullptr) != 0)
            abandon("remounting the disk writable", kBrokenStatus);
        return;
    }
}

void DiskFault::abandon(const char* step, int status) const
{
    finish(m_channel, status, {QString::fromUtf8(step) + QStringLiteral(" failed: ") + systemText(errno)});
}
