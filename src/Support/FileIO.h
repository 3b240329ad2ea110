#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Small file helpers shared by every store. They report failure through the return value
// and an optional readable error; they never throw.
namespace FileIO {

// Replaces the file in one step (write to a temporary file, then rename), so readers see
// either the old or the new content. `permissions`, when given, applies to the new file.
bool writeAtomically(const QString& path, const QByteArray& data, QString* error = nullptr,
                     std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// Appends to the end of the file, creating it when missing (O_APPEND: concurrent
// appenders never overwrite each other).
bool append(const QString& path, const QByteArray& data, QString* error = nullptr);

// The whole file, or nothing when it is missing or cannot be read.
std::optional<QByteArray> readAll(const QString& path, QString* error = nullptr);

// Moves a damaged file out of the way as "<name>.corrupt-<yyyyMMdd-HHmmss>" so a store can
// start fresh without destroying what the user had. Returns the new path, or "" on failure.
QString moveAside(const QString& path);

// Creates the directory (and its parents); `ownerOnly` restricts the leaf to mode 0700.
bool ensureDirectory(const QString& path, bool ownerOnly = false, QString* error = nullptr);

}  // namespace FileIO
