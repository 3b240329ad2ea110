#include "Storage/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <filesystem>
#include <mutex>

Q_LOGGING_CATEGORY(lcPaths, "app.parlivox.paths")

namespace fs = std::filesystem;

namespace {
std::mutex rootMutex;
QString rootOverride;

QString under(const char* name)
{
    return AppPaths::root() + QLatin1Char('/') + QLatin1String(name);
}
}  // namespace

QString AppPathsError::description() const
{
    return QStringLiteral("Path '%1' is outside the allowed root (~/.parli_vox_mac/).").arg(path);
}

QString AppPaths::root()
{
    std::lock_guard lock(rootMutex);
    if (!rootOverride.isEmpty())
        return rootOverride;
    static const QString kHome = QDir::homePath() + QStringLiteral("/.parli_vox_mac");
    return kHome;
}

void AppPaths::overrideRoot(const QString& root)
{
    std::lock_guard lock(rootMutex);
    rootOverride = root;
}

QString AppPaths::work()
{
    return under("work");
}
QString AppPaths::history()
{
    return under("history");
}
QString AppPaths::logs()
{
    return under("logs");
}
QString AppPaths::cache()
{
    return under("cache");
}
QString AppPaths::recordings()
{
    return under("recordings");
}
QString AppPaths::minutes()
{
    return under("minutes");
}

void AppPaths::ensureAll()
{
    for (const QString& dir : {root(), work(), history(), logs(), cache(), recordings(), minutes()}) {
        std::error_code error;
        fs::create_directories(fs::path(QFile::encodeName(dir).toStdString()), error);
        if (error)
            qCCritical(lcPaths, "failed to create %s: %s", qPrintable(dir), error.message().c_str());
    }
}

QString AppPaths::normalized(const QString& path)
{
    std::error_code error;
    fs::path candidate = fs::absolute(fs::path(QFile::encodeName(path).toStdString()), error);
    fs::path resolved = fs::weakly_canonical(candidate, error);
    if (error)
        resolved = candidate.lexically_normal();
    std::string text = resolved.string();
    // weakly_canonical keeps a trailing separator of a directory path; the guard compares without it.
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return QFile::decodeName(QByteArray::fromStdString(text));
}

bool AppPaths::isInside(const QString& path, const QString& directory)
{
    const QString candidate = normalized(path);
    const QString base = normalized(directory);
    return candidate == base || candidate.startsWith(base + QLatin1Char('/'));
}

std::optional<AppPathsError> AppPaths::validate(const QString& path)
{
    if (isInside(path, root()))
        return std::nullopt;
    return AppPathsError{normalized(path)};
}
