#include "Support/FileIO.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileIO {

namespace {
bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}
}  // namespace

bool writeAtomically(const QString& path, const QByteArray& data, QString* error,
                     std::optional<QFileDevice::Permissions> permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    // Set before the rename so the file is never visible with looser permissions.
    if (permissions && !file.setPermissions(*permissions))
        return fail(error, file.errorString());
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return fail(error, file.errorString());
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool append(const QString& path, const QByteArray& data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(error, file.errorString());
    if (file.write(data) != data.size() || !file.flush())
        return fail(error, file.errorString());
    return true;
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

QString moveAside(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".corrupt-") + stamp + QStringLiteral("-") + QString::number(n);
    return QFile::rename(path, target) ? target : QString();
}

bool ensureDirectory(const QString& path, bool ownerOnly, QString* error)
{
    if (!QDir().mkpath(path))
        return fail(error, QStringLiteral("cannot create directory %1").arg(path));
    if (ownerOnly &&
        !QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return fail(error, QStringLiteral("cannot restrict permissions of %1").arg(path));
    return true;
}

}  // namespace FileIO
