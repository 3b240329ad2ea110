#include "Update/UpdateFeed.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QRegularExpression>

namespace UpdateFeed {

namespace {
bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

std::optional<QList<qulonglong>> numbers(const QString& version)
{
    static const QRegularExpression dotted(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9})*$"));
    if (!dotted.match(version).hasMatch())
        return std::nullopt;
    QList<qulonglong> pieces;
    for (const QString& piece : version.split(QLatin1Char('.')))
        pieces << piece.toULongLong();
    return pieces;
}

std::optional<QUrl> address(const QJsonObject& object, const QString& key, QString* error)
{
    const QUrl url(object.value(key).toString(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        fail(error, QStringLiteral("\"%1\" is not an address").arg(key));
        return std::nullopt;
    }
    if (!isAllowedAddress(url)) {
        fail(error, QStringLiteral("\"%1\" must use HTTPS").arg(key));
        return std::nullopt;
    }
    return url;
}
}  // namespace

std::optional<Release> parse(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        fail(error, QStringLiteral("the feed is not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    Release release;
    release.version = object.value(QLatin1String("version")).toString();
    if (!numbers(release.version)) {
        fail(error, QStringLiteral("\"version\" is not a dotted version"));
        return std::nullopt;
    }
    const QJsonValue build = object.value(QLatin1String("build"));
    release.build = build.toString();
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!build.isUndefined() && !(build.isString() && digits.match(release.build).hasMatch())) {
        fail(error, QStringLiteral("\"build\" is not a number"));
        return std::nullopt;
    }
    const auto page = address(object, QStringLiteral("releasePage"), error);
    const auto download = page ? address(object, QStringLiteral("download"), error) : std::nullopt;
    if (!page || !download)
        return std::nullopt;
    release.releasePage = *page;
    release.download = *download;
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{64}$"));
    const QString sha = object.value(QLatin1String("sha256")).toString();
    if (!hex.match(sha).hasMatch()) {
        fail(error, QStringLiteral("\"sha256\" is not 64 hexadecimal digits"));
        return std::nullopt;
    }
    release.sha256 = QByteArray::fromHex(sha.toLatin1());
    return release;
}

std::optional<int> compareVersions(const QString& a, const QString& b)
{
    const auto left = numbers(a);
    const auto right = numbers(b);
    if (!left || !right)
        return std::nullopt;
    for (qsizetype i = 0; i < std::max(left->size(), right->size()); ++i) {
        const qulonglong x = i < left->size() ? left->at(i) : 0;
        const qulonglong y = i < right->size() ? right->at(i) : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool isNewer(const Release& release, const QString& runningVersion, const QString& runningBuild)
{
    const auto order = compareVersions(release.version, runningVersion);
    if (!order)
        return false;
    if (*order != 0)
        return *order > 0;
    bool knownRelease = false;
    bool knownRunning = false;
    const qulonglong releaseBuild = release.build.toULongLong(&knownRelease);
    const qulonglong running = runningBuild.toULongLong(&knownRunning);
    return knownRelease && knownRunning && releaseBuild > running;
}

bool isAllowedAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

}  // namespace UpdateFeed
