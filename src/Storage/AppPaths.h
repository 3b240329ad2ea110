#pragma once

#include <QString>

#include <optional>

// A path refused by the data-directory guard.
struct AppPathsError {
    QString path;  // the normalized candidate
    QString description() const;
};

// Where the system keeps its files: "~/.parli_vox_mac/" and its standard subdirectories.
// Locations are fixed for the life of the process; any thread may read them.
class AppPaths {
public:
    static QString root();
    static QString work();
    static QString history();
    static QString logs();
    static QString cache();
    static QString recordings();
    static QString minutes();

    // Creates the root and the six subdirectories; failures are logged, never thrown.
    static void ensureAll();

    // Nothing when the path, with symbolic links resolved and "." / ".." removed, is the
    // root or lies inside it; otherwise the refusal. Paths that do not exist yet are
    // checked through their nearest existing parent.
    [[nodiscard]] static std::optional<AppPathsError> validate(const QString& path);
    // The same containment check against any directory.
    [[nodiscard]] static bool isInside(const QString& path, const QString& directory);
    static QString normalized(const QString& path);

    // Moves the data root elsewhere (tests, and nothing else, call this).
    static void overrideRoot(const QString& root);
};
