#pragma once

#include "Vision/FaceCascades.h"
#include "Vision/FaceDetector.h"
#include "Vision/FramePreprocessor.h"
#include "Vision/PoseSmoother.h"

#include <opencv2/core/types.hpp>

#include <optional>

// Face and head pose from OpenCV's cascade detectors: the face near where it was last seen
// (the whole picture only when it is lost), the lean and turn from the mirror symmetry of
// the face, the tilt from where the eyes sit in it, and the profile detector for heads turned
// too far for a frontal face. The box followed and the angles are smoothed over the last
// pictures, so the noise of single pictures never reads as a glance away. The largest face
// is the user's. While nobody is in view, only every kThoroughEvery-th picture is searched
// with every detector; the others get the cheapest pass, so an empty room costs little more
// than one detector call.
class CascadeFaceDetector final : public FaceDetector {
public:
    // The yaw reported for a face seen only in profile.
    static constexpr double kProfileYaw = 0.8;
    static constexpr int kThoroughEvery = 4;

    explicit CascadeFaceDetector(FaceCascades cascades);

    std::optional<FaceObservation> detect(const QImage& frame, bool grayscale) override;
    // The same on a picture already prepared: 8-bit gray (or BGRA), already mirrored.
    std::optional<FaceObservation> detect(const cv::Mat& image);
    void reset() override;

private:
    struct Found {
        cv::Rect box;
        int profileSide = 0;  // 0 for a frontal face, else the sign of its yaw
    };

    std::optional<Found> findFace(const cv::Mat& gray);
    // Forgets the face followed, but not how long the room has been empty.
    void forgetFace();
    static std::optional<cv::Rect> findIn(const cv::Mat& gray, const cv::Rect& area, cv::CascadeClassifier& cascade,
                                          int minSide, int maxSide);
    std::optional<Found> findProfile(const cv::Mat& gray, int minSide);
    void follow(const cv::Rect& box);
    PoseSmoother::Angles frontalAngles(const cv::Mat& gray);
    // Where the eyes sit in the upright face, as a share of its height.
    std::optional<double> eyeRow(const cv::Mat& upright);

    FaceCascades m_cascades;
    FramePreprocessor m_preprocessor;
    std::optional<cv::Rect2d> m_face;  // the face followed, smoothed
    PoseSmoother m_smoother;
    double m_heldPitch = 0.0;  // of the last picture whose eyes were found, kept for a few pictures
    int m_picturesWithoutEyes = 0;  // eye searches in a row that found none
    int m_picturesFollowed = 0;  // frontal pictures since the face was found
    int m_emptyPictures = 0;  // whole-picture searches in a row that found nobody
};
