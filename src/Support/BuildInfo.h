#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// What the build was configured with: the version and build number the window shows and the
// updater compares, and the update feed's address (none by default).
namespace BuildInfo {

// The short version, "?" when the build set none.
QString version();
// The build number, "?" when the build set none.
QString build();
// "<version> (<build>)" as the window shows it, the version alone when the build set no number.
QString versionText();
// Empty when this build has no update feed.
QUrl updateFeed();
// Where the program's loadable modules are looked for, in order: beside the program, where
// `cmake --install` puts them, where the build made them.
QStringList moduleFolders();

}  // namespace BuildInfo
