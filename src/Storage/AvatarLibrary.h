#pragma once

#include <QImage>
#include <QString>

#include <optional>

// The user's own avatar pictures, kept as files in "avatars" of the data root and handed out
// through a process-wide image cache. Only plain file names inside that directory are ever
// opened or deleted. Any thread may call it.
class AvatarLibrary {
public:
    // The avatars directory, created (with its parents) on every call.
    static QString directory();

    // The path of an existing file of that name in the directory; nothing for a missing or
    // empty name, a missing file, or a name that is not a plain file name there (logged).
    static std::optional<QString> absolutePath(const std::optional<QString>& name);

    // The decoded image, from the cache when it was loaded before (even if the file has
    // changed or gone since); nothing when there is no such file or it does not decode.
    static std::optional<QImage> loadImage(const std::optional<QString>& name);

    // Copies a picture into the directory under a new name "avatar-XXXXXXXX.<ext>" and
    // returns that name, or nothing with the reason in `error`.
    static std::optional<QString> importImage(const QString& sourcePath, QString* error = nullptr);

    // Deletes the file and forgets its cached image; nothing happens when there is no such
    // file.
    static void remove(const QString& name);

    // Forgets the cached image of the name, so the next load reads the file again. Whoever
    // rewrites a file in the directory calls it, else the old picture is shown until restart.
    static void forget(const QString& name);
};
