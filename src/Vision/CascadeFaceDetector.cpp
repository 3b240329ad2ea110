#include "Vision/CascadeFaceDetector.h"

#include "Vision/HeadPose.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Readings the angles are the median of.
constexpr std::size_t kSmoothingWindow = 5;
// The smallest face searched for, as a share of the picture's shorter side.
constexpr double kMinFaceShare = 0.2;
// Around the last face: the margin searched on each side and the size range, as shares of its size.
constexpr double kSearchMargin = 0.5;
constexpr double kMinSizeChange = 0.75;
constexpr double kMaxSizeChange = 1.35;
// The detector's boxes jitter by pixels from picture to picture, and the angles with them: a
// box overlapping the followed one this much moves it only part of the way; one overlapping
// less is a face that moved, and the followed box jumps there.
constexpr double kJitterOverlap = 0.7;
constexpr double kFollowRate = 0.2;
// The eye detector needs eyes of 20 pixels at least: it searches this band of the upright
// face, enlarged to this width.
constexpr int kEyeSearchWidth = 100;
constexpr double kEyeBandTop = 0.15;
constexpr double kEyeBandBottom = 0.6;
constexpr double kMaxEyeShare = 0.35;
// Where the eyes of an upright face sit in its box.
constexpr double kExpectedEyeRow = 0.385;
constexpr double kExpectedEyeColumn = 0.3;
// Pictures without eyes for which the pitch keeps its last value, then falls to 0.
constexpr int kEyeHoldPictures = 4;
// The eye detector costs as much as following the face: a followed face has its eyes searched
// every other picture (a new face at once), and its pitch holds in between.
constexpr int kEyeSearchEvery = 2;

cv::Rect largest(const std::vector<cv::Rect>& boxes)
{
    return *std::max_element(boxes.begin(), boxes.end(),
                             [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });
}

cv::Rect scaled(const cv::Rect& box, int factor)
{
    return {box.x * factor, box.y * factor, box.width * factor, box.height * factor};
}

}  // namespace

CascadeFaceDetector::CascadeFaceDetector(FaceCascades cascades)
    : m_cascades(std::move(cascades)), m_smoother(kSmoothingWindow)
{
}

std::optional<FaceObservation> CascadeFaceDetector::detect(const QImage& frame, bool grayscale)
{
    if (frame.format() != QImage::Format_ARGB32 && frame.format() != QImage::Format_RGB32)
        return detect(frame.convertToFormat(QImage::Format_ARGB32), grayscale);
    // The frame's own pixels, read in place.
    const cv::Mat bgra(frame.height(), frame.width(), CV_8UC4, const_cast<uchar*>(frame.constBits()),
                       std::size_t(frame.bytesPerLine()));
    m_preprocessor.setGrayscale(grayscale);
    // Read as the user sees themselves, like a looking glass.
    cv::Mat mirrored;
    cv::flip(m_preprocessor.process(bgra), mirrored, 1);
    return detect(mirrored);
}

void CascadeFaceDetector::reset()
{
    forgetFace();
    m_emptyPictures = 0;
}

void CascadeFaceDetector::forgetFace()
{
    m_face.reset();
    m_smoother.clear();
    m_heldPitch = 0.0;
    m_picturesWithoutEyes = 0;
    m_picturesFollowed = 0;
}

std::optional<FaceObservation> CascadeFaceDetector::detect(const cv::Mat& image)
{
    cv::Mat gray = image;
    if (image.channels() == 4)
        cv::cvtColor(image, gray, cv::COLOR_BGRA2GRAY);
    const std::optional<Found> found = findFace(gray);
    if (!found) {
        forgetFace();
        ++m_emptyPictures;
        return std::nullopt;
    }
    m_emptyPictures = 0;
    follow(found->box);
    const PoseSmoother::Angles angles = found->profileSide == 0
                                            ? frontalAngles(gray)
                                            : PoseSmoother::Angles{found->profileSide * kProfileYaw, 0.0, 0.0};
    const PoseSmoother::Angles smoothed = m_smoother.add(angles);
    return FaceObservation{
        smoothed[0], smoothed[1], smoothed[2],
        QRectF(m_face->x / gray.cols, m_face->y / gray.rows, m_face->width / gray.cols, m_face->height / gray.rows)};
}

PoseSmoother::Angles CascadeFaceDetector::frontalAngles(const cv::Mat& gray)
{
    const double roll = HeadPose::rollFromSymmetry(gray, *m_face);
    if (m_picturesFollowed++ % kEyeSearchEvery != 0) {
        // the pitch of the last search holds
    } else if (const auto row = eyeRow(HeadPose::uprightPatch(gray, *m_face, roll, kEyeSearchWidth))) {
        m_heldPitch = HeadPose::pitchFromEyeRow(*row);
        m_picturesWithoutEyes = 0;
    } else if (++m_picturesWithoutEyes > kEyeHoldPictures) {
        m_heldPitch = 0.0;
    }
    const double yaw = HeadPose::yawFromSymmetry(HeadPose::uprightPatch(gray, *m_face, roll));
    return {yaw, m_heldPitch, roll};
}

void CascadeFaceDetector::follow(const cv::Rect& box)
{
    const cv::Rect2d found(box);
    if (m_face && (found & *m_face).area() >= kJitterOverlap * (found | *m_face).area()) {
        m_face->x += kFollowRate * (found.x - m_face->x);
        m_face->y += kFollowRate * (found.y - m_face->y);
        m_face->width += kFollowRate * (found.width - m_face->width);
        m_face->height += kFollowRate * (found.height - m_face->height);
    } else {
        m_face = found;
    }
}

std::optional<CascadeFaceDetector::Found> CascadeFaceDetector::findFace(const cv::Mat& gray)
{
    const cv::Rect whole(0, 0, gray.cols, gray.rows);
    if (m_face) {
        const cv::Rect last(*m_face);
        const int margin = int(last.width * kSearchMargin);
        const cv::Rect near =
            cv::Rect(last.x - margin, last.y - margin, last.width + 2 * margin, last.height + 2 * margin) & whole;
        for (cv::CascadeClassifier* cascade : {&m_cascades.frontal, &m_cascades.frontalTolerant})
            if (const auto box =
                    findIn(gray, near, *cascade, int(last.width * kMinSizeChange), int(last.width * kMaxSizeChange)))
                return Found{*box, 0};
    }
    // The whole picture, cheapest passes first: at half size most faces still show, but a
    // leaning head may need the full size or the more tolerant detector.
    cv::Mat half;
    cv::resize(gray, half, cv::Size(), 0.5, 0.5, cv::INTER_AREA);
    const struct {
        const cv::Mat& picture;
        int factor;
        cv::CascadeClassifier& cascade;
    } passes[] = {{half, 2, m_cascades.frontal}, {gray, 1, m_cascades.frontal}, {half, 2, m_cascades.frontalTolerant}};
    // Someone who walks into an empty room is usually found by the first pass; the others
    // are for heads that lean or turn, and can wait a few pictures.
    const bool thorough = m_emptyPictures % kThoroughEvery == 0;
    for (const auto& pass : passes) {
        if (!thorough && &pass != &passes[0])
            break;
        const int minSide = int(std::min(pass.picture.cols, pass.picture.rows) * kMinFaceShare);
        if (const auto box =
                findIn(pass.picture, cv::Rect(0, 0, pass.picture.cols, pass.picture.rows), pass.cascade, minSide, 0))
            return Found{scaled(*box, pass.factor) & whole, 0};
    }
    if (!thorough)
        return std::nullopt;
    if (const auto profile = findProfile(half, int(std::min(half.cols, half.rows) * kMinFaceShare)))
        return Found{scaled(profile->box, 2) & whole, profile->profileSide};
    return std::nullopt;
}

std::optional<cv::Rect> CascadeFaceDetector::findIn(const cv::Mat& gray, const cv::Rect& area,
                                                    cv::CascadeClassifier& cascade, int minSide, int maxSide)
{
    std::vector<cv::Rect> boxes;
    cascade.detectMultiScale(gray(area), boxes, 1.1, 3, 0, cv::Size(minSide, minSide), cv::Size(maxSide, maxSide));
    if (boxes.empty())
        return std::nullopt;
    return largest(boxes) + area.tl();
}

std::optional<CascadeFaceDetector::Found> CascadeFaceDetector::findProfile(const cv::Mat& gray, int minSide)
{
    // The detector knows faces turned one way only; the mirrored picture shows the other.
    std::vector<cv::Rect> boxes;
    m_cascades.profile.detectMultiScale(gray, boxes, 1.1, 3, 0, cv::Size(minSide, minSide));
    if (!boxes.empty())
        return Found{largest(boxes), -1};
    cv::Mat mirrored;
    cv::flip(gray, mirrored, 1);
    m_cascades.profile.detectMultiScale(mirrored, boxes, 1.1, 3, 0, cv::Size(minSide, minSide));
    if (boxes.empty())
        return std::nullopt;
    const cv::Rect box = largest(boxes);
    return Found{cv::Rect(gray.cols - box.x - box.width, box.y, box.width, box.height), 1};
}

std::optional<double> CascadeFaceDetector::eyeRow(const cv::Mat& upright)
{
    const cv::Rect band(0, int(upright.rows * kEyeBandTop), upright.cols,
                        int(upright.rows * (kEyeBandBottom - kEyeBandTop)));
    const int maxEye = int(upright.cols * kMaxEyeShare);
    std::vector<cv::Rect> candidates;
    m_cascades.eyes.detectMultiScale(upright(band), candidates, 1.1, 2, 0, cv::Size(20, 20), cv::Size(maxEye, maxEye));
    // In each half of the face, the candidate closest to where an eye belongs.
    std::optional<cv::Point2d> eye[2];
    double distance[2] = {0.0, 0.0};
    for (const cv::Rect& candidate : candidates) {
        const cv::Point2d centre((candidate.x + candidate.width / 2.0) / upright.cols,
                                 (band.y + candidate.y + candidate.height / 2.0) / upright.rows);
        const int side = centre.x < 0.5 ? 0 : 1;
        const double expectedColumn = side == 0 ? kExpectedEyeColumn : 1.0 - kExpectedEyeColumn;
        const double d = std::hypot(centre.x - expectedColumn, centre.y - kExpectedEyeRow);
        if (!eye[side] || d < distance[side]) {
            eye[side] = centre;
            distance[side] = d;
        }
    }
    if (!eye[0] || !eye[1])
        return std::nullopt;
    return (eye[0]->y + eye[1]->y) / 2.0;
}
