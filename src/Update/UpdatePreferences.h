#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// What the updater keeps between runs, in its own small JSON file beside the settings file:
// the two automatic-update switches and the time of the last completed check. A file that
// cannot be read is moved aside and the defaults apply.
struct UpdatePreferences {
    bool automaticallyChecks = true;
    bool automaticallyDownloads = false;
    std::optional<QDateTime> lastCheck;  // UTC

    // "<XDG config dir>/parlivox/updater.json"
    static QString standardFilePath();

    static UpdatePreferences load(const QString& path);
    bool save(const QString& path, QString* error = nullptr) const;
};
