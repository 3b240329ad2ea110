#include "UI/Models/AvatarDownload.h"

#include "Persistence/AppSettings.h"
#include "Storage/AvatarLibrary.h"

AvatarDownload::AvatarDownload(AppSettings& settings, Scheduler& scheduler, QUrl host, QObject* parent)
    : QObject(parent), m_settings(settings), m_client(scheduler, std::move(host))
{
}

void AvatarDownload::start()
{
    if (m_loading)
        return;
    const QString seed = m_seed.isEmpty() ? m_settings.assistantName() : m_seed;
    m_lastError.reset();
    m_loading = true;
    emit changed();
    m_client.download(m_style, seed, kPictureSize, [this](const DiceBearClient::Result& result) { finish(result); });
}

void AvatarDownload::finish(const DiceBearClient::Result& result)
{
    if (const auto* name = std::get_if<QString>(&result)) {
        // The same style and seed rewrite the same file: the old picture must not linger.
        AvatarLibrary::forget(*name);
        m_settings.setAvatarImageName(*name);
        m_settings.setAvatarStyle(AvatarStyle::custom);
    } else {
        m_lastError = std::get<DiceBearClient::Error>(result).description;
    }
    m_loading = false;
    emit changed();
}
