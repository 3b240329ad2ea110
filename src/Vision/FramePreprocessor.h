#pragma once

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <atomic>

// Shrinks and desaturates camera frames before face detection, so the detector works on a
// small one-channel picture instead of the full colour frame. process() runs on the face
// analysis thread, one frame at a time; the grayscale switch may be flipped from any thread
// and takes effect from the next frame.
class FramePreprocessor {
public:
    explicit FramePreprocessor(int maxOutputEdge = 288) : m_maxOutputEdge(maxOutputEdge) {}

    // An 8-bit gray picture whose longest edge is at most maxOutputEdge() (frames are never
    // enlarged), or the very frame given when grayscale is off or the frame is empty. The
    // picture returned belongs to the caller; its memory is reused once the caller lets go.
    cv::Mat process(const cv::Mat& bgra);

    void setGrayscale(bool on) { m_grayscale = on; }
    bool grayscale() const { return m_grayscale; }
    int maxOutputEdge() const { return m_maxOutputEdge; }

private:
    const int m_maxOutputEdge;
    std::atomic<bool> m_grayscale{true};
    cv::Mat m_gray;  // the full-size gray picture, reused
    cv::Mat m_output;  // the last picture handed out
    cv::Size m_poolSize;  // of the pictures handed out; a change is logged
};
