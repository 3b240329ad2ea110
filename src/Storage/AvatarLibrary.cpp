#include "Storage/AvatarLibrary.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "Support/Text.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <mutex>

Q_LOGGING_CATEGORY(lcAvatars, "app.parlivox.avatars")

namespace {
// Keyed by path rather than by name so a moved data root can never serve another root's image.
std::mutex cacheMutex;
QHash<QString, QImage>& imageCache()
{
    static QHash<QString, QImage> cache;
    return cache;
}

// A name from the settings file must not reach anything but a file of the avatars directory.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

// The path the name stands for in the avatars directory, or the reason it is refused.
std::optional<QString> pathFor(const QString& name, QString* refusal)
{
    const QString directory = AvatarLibrary::directory();
    const QString path = directory + QLatin1Char('/') + name;
    if (!isPlainFileName(name)) {
        *refusal = QStringLiteral("'%1' is not a plain file name.").arg(name);
    } else if (const auto error = AppPaths::validate(path)) {
        *refusal = error->description();
    } else if (!AppPaths::isInside(path, directory)) {
        *refusal = QStringLiteral("Path '%1' is outside the avatars directory.").arg(AppPaths::normalized(path));
    } else {
        return path;
    }
    return std::nullopt;
}

std::optional<QString> checkedPath(const QString& name)
{
    QString refusal;
    auto path = pathFor(name, &refusal);
    if (!path)
        qCCritical(lcAvatars, "avatar path %s rejected: %s", qPrintable(name), qPrintable(refusal));
    return path;
}

QString storedExtension(const QString& sourcePath)
{
    const QString suffix = QFileInfo(sourcePath).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (suffix == QLatin1String("heic") || suffix == QLatin1String("webp"))
        return suffix;
    return QStringLiteral("png");
}
}  // namespace

QString AvatarLibrary::directory()
{
    const QString path = AppPaths::root() + QStringLiteral("/avatars");
    FileIO::ensureDirectory(path);
    return path;
}

std::optional<QString> AvatarLibrary::absolutePath(const std::optional<QString>& name)
{
    if (!name || name->isEmpty())
        return std::nullopt;
    auto path = checkedPath(*name);
    if (!path || !QFileInfo(*path).isFile())
        return std::nullopt;
    return path;
}

std::optional<QImage> AvatarLibrary::loadImage(const std::optional<QString>& name)
{
    if (!name || name->isEmpty())
        return std::nullopt;
    const auto path = checkedPath(*name);
    if (!path)
        return std::nullopt;
    {
        std::lock_guard lock(cacheMutex);
        if (const auto hit = imageCache().constFind(*path); hit != imageCache().cend())
            return *hit;
    }
    if (!QFileInfo(*path).isFile())
        return std::nullopt;
    const QImage image(*path);
    if (image.isNull())
        return std::nullopt;
    std::lock_guard lock(cacheMutex);
    imageCache().insert(*path, image);
    return image;
}

std::optional<QString> AvatarLibrary::importImage(const QString& sourcePath, QString* error)
{
    const auto fail = [error](const QString& reason) -> std::optional<QString> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QString name =
        QStringLiteral("avatar-") + Text::newUuid().left(8) + QLatin1Char('.') + storedExtension(sourcePath);
    QString refusal;
    const auto destination = pathFor(name, &refusal);
    if (!destination)
        return fail(refusal);
    if (QFileInfo::exists(*destination) && !QFile::remove(*destination))
        return fail(QStringLiteral("cannot replace %1").arg(*destination));
    QFile source(sourcePath);
    if (!source.copy(*destination))
        return fail(QStringLiteral("cannot copy %1: %2").arg(sourcePath, source.errorString()));
    qCInfo(lcAvatars, "imported avatar → %s", qPrintable(*destination));
    return name;
}

void AvatarLibrary::remove(const QString& name)
{
    const auto path = absolutePath(name);
    if (!path)
        return;
    QFile::remove(*path);
    forget(name);
}

void AvatarLibrary::forget(const QString& name)
{
    QString refusal;
    if (const auto path = pathFor(name, &refusal)) {
        std::lock_guard lock(cacheMutex);
        imageCache().remove(*path);
    }
}
