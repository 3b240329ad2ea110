#include "UI/Models/AvatarPickerModel.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Storage/AvatarLibrary.h"
#include "UI/Models/MakerLinks.h"

#include <QFileInfo>
#include <QImageReader>

namespace AvatarPickerModel {

QString nameFilter(AppLanguage language)
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return L10n::t(QStringLiteral("avatar.image_files"), language).arg(patterns.join(QLatin1Char(' ')));
}

std::optional<QString> importPicture(AppSettings& settings, const QString& path, AppLanguage language)
{
    QImageReader reader(path);
    if (reader.read().isNull())
        return L10n::t(QStringLiteral("avatar.import_failed"), language)
            .arg(QFileInfo(path).fileName(), reader.errorString());
    QString error;
    const auto name = AvatarLibrary::importImage(path, &error);
    if (!name)
        return error;
    const std::optional<QString> previous = settings.avatarImageName();
    if (previous && *previous != *name)
        AvatarLibrary::remove(*previous);
    settings.setAvatarImageName(*name);
    settings.setAvatarStyle(AvatarStyle::custom);
    return std::nullopt;
}

void reset(AppSettings& settings)
{
    if (const auto name = settings.avatarImageName())
        AvatarLibrary::remove(*name);
    settings.setAvatarImageName(std::nullopt);
}

std::optional<QImage> picture(const AppSettings& settings)
{
    return AvatarLibrary::loadImage(settings.avatarImageName());
}

QUrl shareAddress(const QString& version, AppLanguage language)
{
    const QString body = L10n::t(QStringLiteral("avatar.share_body"), language) +
                         QStringLiteral("\n\n\n\n---\nParlivox v") + version + QStringLiteral(" · Linux");
    // Encoded by hand: a bare "+" (as in "Ctrl+V") would reach the board as a space.
    const auto item = [](const QString& key, const QString& value) {
        return key + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    QUrl url = MakerLinks::newDiscussion();
    url.setQuery(QStringList{item(QStringLiteral("category"), QStringLiteral("show-and-tell")),
                             item(QStringLiteral("title"), L10n::t(QStringLiteral("avatar.share_title"), language)),
                             item(QStringLiteral("body"), body)}
                     .join(QLatin1Char('&')),
                 QUrl::StrictMode);
    return url;
}

}  // namespace AvatarPickerModel
