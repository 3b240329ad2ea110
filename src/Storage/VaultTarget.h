#pragma once

#include <QString>

#include <optional>

class AppSettings;

// Where notes-vault files go: the vault root and the subfolder below it, as the user set them.
struct VaultTarget {
    QString root;
    QString subfolder;

    // Both trimmed; nothing when the vault path is blank, "Parlivox" for a blank subfolder.
    static std::optional<VaultTarget> from(const QString& vaultPath, const QString& subfolder);
    static std::optional<VaultTarget> fromSettings(const AppSettings& settings);
};
