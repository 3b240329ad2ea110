#pragma once

#include <QImage>

#include <opencv2/core/mat.hpp>

// A frontal portrait (Debian's python-matplotlib-data ships it) as camera frames, and copies
// of it turned the ways a head turns.
namespace Portrait {

// The full-size portrait (BGR).
cv::Mat picture();
// Turned `degrees` counter-clockwise about the middle of the face.
cv::Mat rotated(double degrees);
// The face plane seen from aside, turned by `degrees` about the vertical through the face:
// for positive degrees its right side (as seen) goes away from the camera.
cv::Mat turned(double degrees);
cv::Mat mirrored(const cv::Mat& picture);

// The picture shrunk without squashing onto a 320×240 BGRA frame, as a camera delivers it.
cv::Mat frame(const cv::Mat& picture = Portrait::picture());
// A BGRA frame as the camera stream hands it over.
QImage cameraFrame(const cv::Mat& frame);
// A copy with sensor-like noise of the given standard deviation; `seed` picks the noise.
cv::Mat noisy(const cv::Mat& frame, double sigma, unsigned seed);

}  // namespace Portrait
