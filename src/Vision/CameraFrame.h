#pragma once

#include <QImage>

#include <chrono>

// One camera frame: QImage::Format_ARGB32 pixels (8-bit BGRA in memory on the little-endian
// machines this runs on) and when it was captured. Every subscriber shares the same pixels:
// they are never written after delivery, and a consumer that needs to change them works on a
// copy (QImage detaches on its own).
struct CameraFrame {
    QImage pixels;
    std::chrono::steady_clock::time_point timestamp;
};
