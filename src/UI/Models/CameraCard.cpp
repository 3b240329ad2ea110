#include "UI/Models/CameraCard.h"

#include "UI/Models/ThemePalette.h"

namespace CameraCard {

QString statusKey(GazeStatus status)
{
    switch (status) {
    case GazeStatus::lookingAtScreen:
        return QStringLiteral("gaze.eye_contact");
    case GazeStatus::lookingAway:
        return QStringLiteral("gaze.looking_away");
    case GazeStatus::noFace:
        break;
    }
    return QStringLiteral("gaze.no_face");
}

QColor statusColour(GazeStatus status, bool dark)
{
    using ThemePalette::Named;
    switch (status) {
    case GazeStatus::lookingAtScreen:
        return ThemePalette::named(Named::green, dark);
    case GazeStatus::lookingAway:
        return ThemePalette::named(Named::orange, dark);
    case GazeStatus::noFace:
        break;
    }
    return ThemePalette::named(Named::gray, dark);
}

QRectF fillSource(const QSizeF& picture, const QSizeF& target)
{
    if (picture.isEmpty() || target.isEmpty())
        return {};
    const QSizeF cropped = target.scaled(picture, Qt::KeepAspectRatio);
    return {(picture.width() - cropped.width()) / 2, (picture.height() - cropped.height()) / 2, cropped.width(),
            cropped.height()};
}

}  // namespace CameraCard
