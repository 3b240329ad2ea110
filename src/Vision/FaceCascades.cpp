#include "Vision/FaceCascades.h"

#include <opencv2/core/utility.hpp>

namespace {

bool loadOne(cv::CascadeClassifier& cascade, const char* relativePath, QString* error)
{
    const cv::String path = cv::samples::findFile(relativePath, false, true);
    if (path.empty()) {
        if (error)
            *error = QStringLiteral("face detector file %1 not found (it comes with opencv-data)")
                         .arg(QLatin1String(relativePath));
        return false;
    }
    if (!cascade.load(path)) {
        if (error)
            *error = QStringLiteral("face detector file %1 cannot be read").arg(QString::fromStdString(path));
        return false;
    }
    return true;
}

}  // namespace

std::optional<FaceCascades> FaceCascades::load(QString* error)
{
    FaceCascades cascades;
    if (loadOne(cascades.frontal, "lbpcascades/lbpcascade_frontalface.xml", error) &&
        loadOne(cascades.frontalTolerant, "haarcascades/haarcascade_frontalface_alt2.xml", error) &&
        loadOne(cascades.profile, "lbpcascades/lbpcascade_profileface.xml", error) &&
        loadOne(cascades.eyes, "haarcascades/haarcascade_eye_tree_eyeglasses.xml", error))
        return cascades;
    return std::nullopt;
}
