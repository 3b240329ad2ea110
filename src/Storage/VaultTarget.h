#pragma once

#include <QString>

#include <optional>

class AppSettings;

// Where notes-vault files go: the vault root and the subfolder below it, as the user set them.
struct VaultTarget {
    QString root;
    QString subfolder;

    // The folder a typed vault path names, trimmed: "~" and "~/…" stand for the home folder,
    // as in a shell; anything else must be a full path. Nothing for a blank or relative path,
    // which would otherwise land in whatever folder the program was started from.
    static std::optional<QString> rootOf(const QString& vaultPath);

    // Both trimmed; nothing when the vault path names no folder (rootOf), "Parlivox" for a
    // blank subfolder.
    static std::optional<VaultTarget> from(const QString& vaultPath, const QString& subfolder);
    static std::optional<VaultTarget> fromSettings(const AppSettings& settings);
};
