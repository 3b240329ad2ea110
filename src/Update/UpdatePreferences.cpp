#include "Update/UpdatePreferences.h"

#include "Support/FileIO.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcUpdatePreferences, "app.parlivox.update")

namespace {
const QString checksKey = QStringLiteral("automaticallyChecks");
const QString downloadsKey = QStringLiteral("automaticallyDownloads");
const QString lastCheckKey = QStringLiteral("lastCheck");
}  // namespace

QString UpdatePreferences::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/parlivox/updater.json");
}

UpdatePreferences UpdatePreferences::load(const QString& path)
{
    UpdatePreferences preferences;
    if (!QFileInfo::exists(path))
        return preferences;
    const auto data = FileIO::readAll(path);
    const QJsonDocument document = data ? QJsonDocument::fromJson(*data) : QJsonDocument();
    const QJsonObject object = document.object();
    const QJsonValue checks = object.value(checksKey);
    const QJsonValue downloads = object.value(downloadsKey);
    const QJsonValue lastCheck = object.value(lastCheckKey);
    const QDateTime when = QDateTime::fromString(lastCheck.toString(), Qt::ISODateWithMs);
    if (!document.isObject() || !checks.isBool() || !downloads.isBool() ||
        !(lastCheck.isUndefined() || when.isValid())) {
        qCWarning(lcUpdatePreferences, "unreadable update preferences moved aside to %s",
                  qPrintable(FileIO::moveAside(path)));
        return preferences;
    }
    preferences.automaticallyChecks = checks.toBool();
    preferences.automaticallyDownloads = downloads.toBool();
    if (when.isValid())
        preferences.lastCheck = when.toUTC();
    return preferences;
}

bool UpdatePreferences::save(const QString& path, QString* error) const
{
    QJsonObject object{{checksKey, automaticallyChecks}, {downloadsKey, automaticallyDownloads}};
    if (lastCheck)
        object.insert(lastCheckKey, lastCheck->toUTC().toString(Qt::ISODateWithMs));
    return FileIO::ensureDirectory(QFileInfo(path).absolutePath(), true, error) &&
           FileIO::writeAtomically(path, QJsonDocument(object).toJson(), error);
}
