#pragma once

#include <QString>

#include <opencv2/objdetect.hpp>

#include <optional>

// The trained detectors of OpenCV's data files (the opencv-data package), found where the
// OpenCV installation keeps them. Each detector object belongs to one thread at a time.
struct FaceCascades {
    cv::CascadeClassifier frontal;  // fast, for upright faces
    cv::CascadeClassifier frontalTolerant;  // slower, still finds heads leaning by 15 degrees
    cv::CascadeClassifier profile;  // faces turned far to one side
    cv::CascadeClassifier eyes;  // eyes, with or without glasses

    // Every detector, or nothing with an error naming the file that is missing or unreadable.
    static std::optional<FaceCascades> load(QString* error = nullptr);
};
