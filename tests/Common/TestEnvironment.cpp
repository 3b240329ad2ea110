#include "Common/TestEnvironment.h"

#include "Storage/AppPaths.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace TestEnvironment {

void isolateHome()
{
    static QTemporaryDir home;  // removed when the test program exits
    const QByteArray path = QFile::encodeName(home.path());
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("XDG_CACHE_HOME", path + "/.cache");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QDir().mkpath(home.path() + QStringLiteral("/.runtime"));
        QFile::setPermissions(home.path() + QStringLiteral("/.runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", path + "/.runtime");
    }
    qunsetenv("OPENAI_API_KEY");
    qunsetenv("NVIDIA_API_KEY");
}

unsigned permissionBits(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 0777;
}

QStringList movedAsideCopies(const QString& path)
{
    const QFileInfo file(path);
    const QDir dir = file.dir();
    QStringList copies;
    for (const QString& name : dir.entryList({file.fileName() + QStringLiteral(".corrupt-*")}, QDir::Files, QDir::Name))
        copies.append(dir.filePath(name));
    return copies;
}

}  // namespace TestEnvironment

ScopedDataRoot::ScopedDataRoot()
{
    AppPaths::overrideRoot(path());
}

ScopedDataRoot::~ScopedDataRoot()
{
    AppPaths::overrideRoot(QString());
}

QString ScopedDataRoot::path() const
{
    return m_dir.path() + QStringLiteral("/.parli_vox_mac");
}
