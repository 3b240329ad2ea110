#include "Support/FileIO.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

Q_LOGGING_CATEGORY(lcFiles, "app.parlivox.files")

namespace FileIO {

QString systemReason(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

namespace {
constexpr char kTemporaryInfix[] = ".tmp-";

bool failWith(QString* error, int code)
{
    return fail(error, systemReason(code));
}

// Why a file of this kind is no file to read or append to, in the system's words: a folder,
// or anything else that is not a regular file (a FIFO, a socket, a device).
std::optional<QString> notAFile(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("Not a regular file");
    return std::nullopt;
}

// Closes on every way out; close() reports what only shows at the end on some file systems.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Hands the descriptor over to another owner.
    void release() { m_fd = -1; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Writes every byte, going on after short writes; false with errno set when the system refuses.
bool writeAll(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        next += written;
        left -= written;
    }
    return true;
}

// The file at the end of a chain of symbolic links, so the link itself stays in place.
QString finalTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// What a temporary file beside `target` is called: "<target>.tmp-<base 36>".
QByteArray temporaryName(const QString& target)
{
    return QFile::encodeName(target) + kTemporaryInfix +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

// A new, empty file beside `target` that nobody else has; -1 with errno set on failure.
int createTemporary(const QString& target, QByteArray* name)
{
    for (;;) {
        *name = temporaryName(target);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}

// A new file without a name in the folder of `target` (O_TMPFILE): a crash before it is
// linked leaves nothing behind. -1 with errno set; EOPNOTSUPP (or EISDIR, EINVAL from an
// older kernel) where the file system cannot make one.
int createUnnamed(const QString& target)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool unnamedUnsupported(int code)
{
    return code == EOPNOTSUPP || code == EISDIR || code == EINVAL;
}

// Gives the unnamed file `fd` the name `name`, which must be free.
bool linkUnnamed(int fd, const QByteArray& name)
{
    // Through /proc needs no privilege; AT_EMPTY_PATH works without /proc for the privileged.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    return errno == ENOENT && ::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0;
}

// Writes the data and the permissions into `fd` and syncs it: a full disk shows up here.
bool fill(int fd, const QByteArray& data, bool setMode, mode_t mode)
{
    // Permissions come before the data, so the content is never visible with looser ones.
    return (!setMode || ::fchmod(fd, mode) == 0) && writeAll(fd, data) && ::fsync(fd) == 0;
}

// Syncs the folder, so the new name survives a power loss as well as the data does.
void syncFolderOf(const QString& target)
{
    Descriptor folder(
        ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

// The unnamed way: nothing has a name until the data is complete. A new file is linked at
// its name directly; a replaced one is linked under a temporary name and renamed over the
// old one at once (a name can only be given to a free path), so only a crash between these
// two calls can leave a temporary. Nothing, with errno, when an unnamed file cannot be made
// or linked here (the caller then takes the named way); false with `*error` set when the
// disk refused.
std::optional<bool> writeUnnamed(const QString& target, const QByteArray& data, bool setMode, mode_t mode,
                                 QString* error)
{
    Descriptor file(createUnnamed(target));
    if (file.get() < 0)
        return unnamedUnsupported(errno) ? std::nullopt : std::optional<bool>(failWith(error, errno));
    if (!fill(file.get(), data, setMode, mode))
        return failWith(error, errno);
    const QByteArray name = QFile::encodeName(target);
    if (!QFileInfo::exists(target)) {
        if (linkUnnamed(file.get(), name))
            return file.close() || failWith(error, errno);
        if (errno != EEXIST)
            return (errno == ENOENT || errno == EPERM) ? std::nullopt : std::optional<bool>(failWith(error, errno));
    }
    for (;;) {
        const QByteArray temporary = temporaryName(target);
        if (linkUnnamed(file.get(), temporary)) {
            if (::rename(temporary.constData(), name.constData()) == 0)
                return file.close() || failWith(error, errno);
            const int cause = errno;
            ::unlink(temporary.constData());
            return failWith(error, cause);
        }
        if (errno != EEXIST)
            return (errno == ENOENT || errno == EPERM) ? std::nullopt : std::optional<bool>(failWith(error, errno));
    }
}
}  // namespace

bool writeAtomically(const QString& path, const QByteArray& data, QString* error, bool ownerOnly)
{
    const QString target = finalTarget(path);
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    const bool setMode = ownerOnly || replacing;
    const mode_t mode = ownerOnly ? 0600 : old.st_mode & 07777;

    if (const std::optional<bool> written = writeUnnamed(target, data, setMode, mode, error)) {
        if (*written)
            syncFolderOf(target);
        return *written;
    }
    // A file system without unnamed files: a named temporary, which only a crash can leave
    // behind (the stores remove such leftovers when they start).
    QByteArray temporary;
    Descriptor file(createTemporary(target, &temporary));
    if (file.get() < 0)
        return failWith(error, errno);
    // Nothing is renamed until the disk has taken every byte: a full disk shows up here.
    if (fill(file.get(), data, setMode, mode) && file.close() &&
        ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0) {
        syncFolderOf(target);
        return true;
    }
    const int cause = errno;
    file.close();
    ::unlink(temporary.constData());
    return failWith(error, cause);
}

bool mayAccess(const QString& path, int mode)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

bool mayReplace(const QString& path, QString* error)
{
    const QString target = finalTarget(path);
    const QString folder = QFileInfo(target).absolutePath();
    return (mayAccess(target, W_OK) && mayAccess(folder, W_OK)) || failWith(error, errno);
}

bool removeFile(const QString& path, QString* error)
{
    if (!mayReplace(path, error))
        return false;
    const bool link = QFileInfo(path).isSymLink();
    // The link goes too, which its own folder must allow.
    if (link && !mayAccess(QFileInfo(path).absolutePath(), W_OK))
        return failWith(error, errno);
    for (const QString& name : link ? QStringList{finalTarget(path), path} : QStringList{path}) {
        if (::unlink(QFile::encodeName(name).constData()) != 0)
            return failWith(error, errno);
        syncFolderOf(name);
    }
    return true;
}

int removeLeftoverTemporaries(const QString& folder)
{
    static const QRegularExpression kLeftover(QStringLiteral("\\.tmp-[0-9a-z]{1,13}$"));
    int removed = 0;
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!kLeftover.match(entry.fileName()).hasMatch())
            continue;
        if (::unlink(QFile::encodeName(entry.filePath()).constData()) == 0)
            ++removed;
    }
    return removed;
}

bool append(const QString& path, const QByteArray& data, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    // Read as well as written: the last byte tells whether the file ends a line. Opened
    // without waiting, so a FIFO in its place is refused rather than waited on or written into.
    int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    const bool created = fd < 0 && errno == ENOENT;
    if (created)
        fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    Descriptor file(fd);
    struct stat before {};
    if (file.get() < 0 || ::fstat(file.get(), &before) != 0)
        return failWith(error, errno);
    if (const std::optional<QString> why = notAFile(before))
        return fail(error, *why);
    char last = '\n';
    if (before.st_size > 0 && ::pread(file.get(), &last, 1, before.st_size - 1) < 0)
        return failWith(error, errno);
    const bool torn = last != '\n';
    if (writeAll(file.get(), torn ? '\n' + data : data)) {
        if (torn)
            qCWarning(lcFiles, "%s ended in a line cut short; it is ended there, and new lines follow it",
                      qUtf8Printable(QFileInfo(path).fileName()));
        return true;
    }
    const int cause = errno;
    // Half a record would glue the next one onto it and spoil both; an empty new file would
    // pass for one that already has its header.
    [[maybe_unused]] const int undone = created ? ::unlink(name.constData()) : ::ftruncate(file.get(), before.st_size);
    return failWith(error, cause);
}

bool openForReading(QFile& file, QString* error)
{
    Descriptor fd(::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return failWith(error, errno);
    if (const std::optional<QString> why = notAFile(info))
        return fail(error, *why);
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failWith(error, errno);
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return fail(error, file.errorString());
    fd.release();
    return true;
}

std::optional<QByteArray> readAll(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt words a folder in its own way; the system's reason names it like every other.
        if (QFileInfo(path).isDir())
            failWith(error, EISDIR);
        else
            fail(error, file.errorString());
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error, file.errorString());
        return std::nullopt;
    }
    return data;
}

QString moveAside(const QString& path, QString* error)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".corrupt-") + stamp + QStringLiteral("-") + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) == 0)
        return target;
    failWith(error, errno);
    return QString();
}

bool ensureDirectory(const QString& path, bool ownerOnly, QString* error)
{
    const fs::path directory(QFile::encodeName(path).toStdString());
    std::error_code failure;
    fs::create_directories(directory, failure);
    if (!failure && ownerOnly) {
        // Changed only when needed: a read-only disk refuses even a change to what is already so.
        const fs::perms current = fs::status(directory, failure).permissions();
        if (!failure && (current & fs::perms::all) != fs::perms::owner_all)
            fs::permissions(directory, fs::perms::owner_all, failure);
    }
    return !failure || fail(error, QString::fromStdString(failure.message()));
}

}  // namespace FileIO
