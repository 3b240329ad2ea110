#pragma once

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

// Head angles from what the face detectors find, in the conventions of FaceObservation.
namespace HeadPose {

// Side length of the upright face picture the yaw is measured on.
inline constexpr int patchSize = 64;

// The tilt from how far down the upright face picture the eyes sit (`row` as a share of its height).
double pitchFromEyeRow(double row);

// The face box of `gray` turned upright by `roll` and scaled to side × side pixels.
cv::Mat uprightPatch(const cv::Mat& gray, const cv::Rect2d& face, double roll, int side = patchSize);

// The lean of the face: the tilt of its axis of mirror symmetry, searched within ±0.35
// (the frontal face detectors find no face leaning further).
double rollFromSymmetry(const cv::Mat& gray, const cv::Rect2d& face);

// A face turned away shows its far half narrower than its near half: the yaw follows from
// the horizontal scale that best maps the left half of an upright patch, mirrored about an
// axis near its middle, onto its right half.
double yawFromSymmetry(const cv::Mat& patch);

}  // namespace HeadPose
