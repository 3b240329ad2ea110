#include "Support/BuildInfo.h"

#include "BuildConfig.h"

#include <QCoreApplication>

namespace BuildInfo {

namespace {
QString shown(const char* value)
{
    const QString text = QString::fromUtf8(value);
    return text.isEmpty() ? QStringLiteral("?") : text;
}
}  // namespace

QString version()
{
    return shown(PARLIVOX_VERSION);
}

QString build()
{
    return shown(PARLIVOX_BUILD_NUMBER);
}

QString versionText()
{
    // A build that set no number shows none rather than a "?".
    const QString number = QString::fromUtf8(PARLIVOX_BUILD_NUMBER);
    return number.isEmpty() ? version() : version() + QStringLiteral(" (") + number + QLatin1Char(')');
}

QUrl updateFeed()
{
    return QUrl(QString::fromUtf8(PARLIVOX_UPDATE_FEED_URL));
}

QStringList moduleFolders()
{
    return {QCoreApplication::applicationDirPath(), QStringLiteral(PARLIVOX_INSTALLED_MODULE_DIR),
            QStringLiteral(PARLIVOX_BUILT_MODULE_DIR)};
}

}  // namespace BuildInfo
