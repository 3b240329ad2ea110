#include "UI/Models/AvatarPickerModel.h"

#include "Persistence/AppSettings.h"
#include "Storage/AvatarLibrary.h"
#include "UI/Models/MakerLinks.h"

#include <QFileInfo>
#include <QImageReader>

namespace AvatarPickerModel {

QString nameFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

std::optional<QString> importPicture(AppSettings& settings, const QString& path)
{
    QImageReader reader(path);
    if (reader.read().isNull())
        return QStringLiteral("“%1” cannot be used as an avatar: %2.")
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

QUrl shareAddress(const QString& version)
{
    const QString body =
        QStringLiteral("이번에 Parlivox 로 만든 비서 아바타 공유해요. 🎨\n\n"
                       "<!-- 아래 줄에 커서를 두고 Ctrl+V 로 이미지를 붙여 넣으세요.\n"
                       "     클립보드에 이미 PNG 가 올라가 있어서 한 번 paste 만 하면 GitHub 가 자동 업로드합니다. -->"
                       "\n\n\n\n---\nParlivox v") +
        version + QStringLiteral(" · Linux");
    // Encoded by hand: a bare "+" (as in "Ctrl+V") would reach the board as a space.
    const auto item = [](const QString& key, const QString& value) {
        return key + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    QUrl url = MakerLinks::newDiscussion();
    url.setQuery(QStringList{item(QStringLiteral("category"), QStringLiteral("show-and-tell")),
                             item(QStringLiteral("title"), QStringLiteral("My Parlivox avatar")),
                             item(QStringLiteral("body"), body)}
                     .join(QLatin1Char('&')),
                 QUrl::StrictMode);
    return url;
}

}  // namespace AvatarPickerModel
