#pragma once

#include "Persistence/AppLanguage.h"

#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

class AppSettings;

// What the avatar picker does with the user's own picture: import it into the avatar library
// as the custom avatar, reset it, and prepare sharing it on the maker's discussion board.
namespace AvatarPickerModel {

// The file chooser's filter: every picture format this system can decode.
QString nameFilter(AppLanguage language);

// Copies the picture into the library, makes it the custom avatar (name, then style) and
// removes the previous picture. Nothing when done; else why, for the user, and nothing changed.
// A file this system cannot decode as a picture is refused.
std::optional<QString> importPicture(AppSettings& settings, const QString& path, AppLanguage language);

// Removes the custom picture and forgets its name; the style stays.
void reset(AppSettings& settings);

// The custom picture, or nothing when none is named or it does not load.
std::optional<QImage> picture(const AppSettings& settings);

// The board's new-discussion page with the category, title and body of the post, written in
// the interface language.
QUrl shareAddress(const QString& version, AppLanguage language);

}  // namespace AvatarPickerModel
