#pragma once

#include <opencv2/core/mat.hpp>

#include <chrono>

// One camera frame: 8-bit BGRA pixels (the layout of QImage::Format_ARGB32 on little-endian
// machines, so a preview can show them without converting) and when it was captured.
// Every subscriber shares the same pixels: they are never written after delivery, and a
// consumer that needs to change them works on a copy.
struct CameraFrame {
    cv::Mat pixels;
    std::chrono::steady_clock::time_point timestamp;
};
