#include "Storage/VaultTarget.h"

#include "Persistence/AppSettings.h"
#include "Support/Text.h"

#include <QDir>

std::optional<QString> VaultTarget::rootOf(const QString& vaultPath)
{
    QString root = Text::trimmed(vaultPath);
    if (root == QLatin1String("~") || root.startsWith(QLatin1String("~/")))
        root.replace(0, 1, QDir::homePath());
    if (root.isEmpty() || QDir::isRelativePath(root))
        return std::nullopt;
    return root;
}

std::optional<VaultTarget> VaultTarget::from(const QString& vaultPath, const QString& subfolder)
{
    const std::optional<QString> root = rootOf(vaultPath);
    if (!root)
        return std::nullopt;
    const QString folder = Text::trimmed(subfolder);
    return VaultTarget{*root, folder.isEmpty() ? QStringLiteral("Parlivox") : folder};
}

std::optional<VaultTarget> VaultTarget::fromSettings(const AppSettings& settings)
{
    return from(settings.obsidianVaultPath(), settings.obsidianSubfolder());
}
