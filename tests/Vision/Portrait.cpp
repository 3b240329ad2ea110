#include "Portrait.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace Portrait {

namespace {

// Where the face is in the 512×600 portrait.
const cv::Rect2d kFace(157.5, 110.0, 207.5, 207.5);

}  // namespace

cv::Mat picture()
{
    return cv::imread("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg", cv::IMREAD_COLOR);
}

cv::Mat rotated(double degrees)
{
    const cv::Mat original = picture();
    const cv::Point2f centre(float(kFace.x + kFace.width / 2), float(kFace.y + kFace.height / 2));
    cv::Mat result;
    cv::warpAffine(original, result, cv::getRotationMatrix2D(centre, degrees, 1.0), original.size(), cv::INTER_LINEAR,
                   cv::BORDER_REPLICATE);
    return result;
}

cv::Mat turned(double degrees)
{
    // The corners of the face box turned in depth and seen in perspective from 1.5 face widths.
    const double angle = degrees * CV_PI / 180.0;
    const double distance = kFace.width * 1.5;
    const double cx = kFace.x + kFace.width / 2, cy = kFace.y + kFace.height / 2;
    cv::Point2f from[4], to[4];
    for (int corner = 0; corner < 4; ++corner) {
        const double x = (corner % 2 ? 0.5 : -0.5) * kFace.width;
        const double y = (corner / 2 ? 0.5 : -0.5) * kFace.height;
        const double depth = distance / (distance + x * std::sin(angle));
        from[corner] = cv::Point2f(float(cx + x), float(cy + y));
        to[corner] = cv::Point2f(float(cx + x * std::cos(angle) * depth), float(cy + y * depth));
    }
    const cv::Mat original = picture();
    cv::Mat result;
    cv::warpPerspective(original, result, cv::getPerspectiveTransform(from, to), original.size(), cv::INTER_LINEAR,
                        cv::BORDER_REPLICATE);
    return result;
}

cv::Mat mirrored(const cv::Mat& picture)
{
    cv::Mat result;
    cv::flip(picture, result, 1);
    return result;
}

cv::Mat frame(const cv::Mat& picture)
{
    const double scale = std::min(320.0 / picture.cols, 240.0 / picture.rows);
    cv::Mat shrunk;
    cv::resize(picture, shrunk, cv::Size(), scale, scale, cv::INTER_AREA);
    cv::Mat result(240, 320, CV_8UC3, cv::Scalar::all(40));
    shrunk.copyTo(result(cv::Rect((320 - shrunk.cols) / 2, (240 - shrunk.rows) / 2, shrunk.cols, shrunk.rows)));
    cv::cvtColor(result, result, cv::COLOR_BGR2BGRA);
    return result;
}

cv::Mat noisy(const cv::Mat& frame, double sigma, unsigned seed)
{
    cv::Mat noise(frame.size(), CV_16SC4);
    cv::RNG(seed).fill(noise, cv::RNG::NORMAL, 0, sigma);
    cv::Mat result;
    frame.convertTo(result, CV_16SC4);
    result += noise;
    result.convertTo(result, CV_8UC4);
    return result;
}

QImage cameraFrame(const cv::Mat& frame)
{
    return QImage(frame.data, frame.cols, frame.rows, int(frame.step), QImage::Format_ARGB32).copy();
}

}  // namespace Portrait
