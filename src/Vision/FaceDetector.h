#pragma once

#include "Vision/FaceObservation.h"

#include <opencv2/core/mat.hpp>

#include <optional>

// Finds the user's face in one picture and reads the head pose. A detector may follow the
// face from picture to picture (search near the last face, smooth the angles); reset() makes
// it start afresh. Used by one thread at a time.
class FaceDetector {
public:
    virtual ~FaceDetector() = default;

    // `image` is 8-bit gray, or BGRA at full size when preprocessing is off.
    virtual std::optional<FaceObservation> detect(const cv::Mat& image) = 0;
    virtual void reset() = 0;
};
