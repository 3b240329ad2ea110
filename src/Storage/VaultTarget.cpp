#include "Storage/VaultTarget.h"

#include "Persistence/AppSettings.h"
#include "Support/Text.h"

std::optional<VaultTarget> VaultTarget::from(const QString& vaultPath, const QString& subfolder)
{
    const QString root = Text::trimmed(vaultPath);
    if (root.isEmpty())
        return std::nullopt;
    const QString folder = Text::trimmed(subfolder);
    return VaultTarget{root, folder.isEmpty() ? QStringLiteral("Parlivox") : folder};
}

std::optional<VaultTarget> VaultTarget::fromSettings(const AppSettings& settings)
{
    return from(settings.obsidianVaultPath(), settings.obsidianSubfolder());
}
