#pragma once

#include "Vision/FaceDetector.h"

#include <QString>

#include <memory>

// The face detector of the face-detection module, loaded at the first call and kept loaded
// (its detectors may live until the program ends).
namespace FaceDetectionModule {

// A new detector; nothing, with the reason, when the module or the detector files are missing.
std::unique_ptr<FaceDetector> makeDetector(QString* error);

}  // namespace FaceDetectionModule
