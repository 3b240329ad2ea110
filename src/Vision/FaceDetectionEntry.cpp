#include "Vision/CascadeFaceDetector.h"

// The one entry of the face-detection module. OpenCV's object detection brings its
// neural-network and linear-algebra libraries along, so the program loads this module only
// when the camera first looks for a face.
extern "C" Q_DECL_EXPORT FaceDetector* parlivoxMakeFaceDetector(QString* error)
{
    std::optional<FaceCascades> cascades = FaceCascades::load(error);
    return cascades ? new CascadeFaceDetector(std::move(*cascades)) : nullptr;
}
