#include "Support/FileIO.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace FileIO {

namespace {
bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// The system's text for an error number, e.g. "No space left on device".
bool failWith(QString* error, int code)
{
    return fail(error, QString::fromStdString(std::generic_category().message(code)));
}

// Closes on every way out; close() reports what only shows at the end on some file systems.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
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

// A new, empty file beside `target` that nobody else has; -1 with errno set on failure.
int createTemporary(const QString& target, QByteArray* name)
{
    for (;;) {
        *name = QFile::encodeName(target) + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}
}  // namespace

bool writeAtomically(const QString& path, const QByteArray& data, QString* error, bool ownerOnly)
{
    const QString target = finalTarget(path);
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &old) == 0;

    QByteArray temporary;
    Descriptor file(createTemporary(target, &temporary));
    if (file.get() < 0)
        return failWith(error, errno);
    // Permissions come before the data, so the content is never visible with looser ones.
    const bool permitted =
        (!ownerOnly && !replacing) || ::fchmod(file.get(), ownerOnly ? 0600 : old.st_mode & 07777) == 0;
    // Nothing is renamed until the disk has taken every byte: a full disk shows up here.
    if (permitted && writeAll(file.get(), data) && ::fsync(file.get()) == 0 && file.close() &&
        ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    const int cause = errno;
    file.close();
    ::unlink(temporary.constData());
    return failWith(error, cause);
}

bool append(const QString& path, const QByteArray& data, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const bool created = fd < 0 && errno == ENOENT;
    if (created)
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    Descriptor file(fd);
    struct stat before {};
    if (file.get() < 0 || ::fstat(file.get(), &before) != 0)
        return failWith(error, errno);
    if (writeAll(file.get(), data))
        return true;
    const int cause = errno;
    // Half a record would glue the next one onto it and spoil both; an empty new file would
    // pass for one that already has its header.
    [[maybe_unused]] const int undone = created ? ::unlink(name.constData()) : ::ftruncate(file.get(), before.st_size);
    return failWith(error, cause);
}

std::optional<QByteArray> readAll(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
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
