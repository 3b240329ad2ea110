#include "Analytics/RozeConfig.h"

#include <QHostAddress>
#include <QStandardPaths>

RozeConfig::RozeConfig(QString projectToken_, QString host_)
    : projectToken(std::move(projectToken_)), host(std::move(host_))
{
}

QString RozeConfig::defaultStorageDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/roze/logs");
}

std::optional<QUrl> RozeConfig::logsEndpoint(QString* error) const
{
    const auto refuse = [error](const QString& reason) -> std::optional<QUrl> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QUrl url(host, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return refuse(QStringLiteral("not an address: '%1'").arg(host));
    if (!url.query().isEmpty() || !url.fragment().isEmpty() || !url.userInfo().isEmpty())
        return refuse(QStringLiteral("the host must be a plain base address: '%1'").arg(host));
    const bool loopback = QHostAddress(url.host()).isLoopback();
    if (url.scheme() != QLatin1String("https") && !(url.scheme() == QLatin1String("http") && loopback))
        return refuse(QStringLiteral("only HTTPS is allowed: '%1'").arg(host));
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/i/v1/logs"));
    return url;
}
