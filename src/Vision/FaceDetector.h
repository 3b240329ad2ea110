#pragma once

#include "Vision/FaceObservation.h"

#include <QImage>

#include <optional>

// Finds the user's face in one picture and reads the head pose. A detector may follow the
// face from picture to picture (search near the last face, smooth the angles); reset() makes
// it start afresh. Used by one thread at a time.
class FaceDetector {
public:
    virtual ~FaceDetector() = default;

    // `frame` is a camera frame (QImage::Format_ARGB32), read as the user sees themselves,
    // like a looking glass: shrunk to gray first, or at full size in colour when `grayscale`
    // is off.
    virtual std::optional<FaceObservation> detect(const QImage& frame, bool grayscale) = 0;
    virtual void reset() = 0;
};
