#include "Platform/V4L2Picture.h"

#include <QImage>

#include <opencv2/imgproc.hpp>

#include <linux/videodev2.h>

bool V4L2Picture::canDecode(std::uint32_t pixelFormat)
{
    return pixelFormat == V4L2_PIX_FMT_YUYV || pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG;
}

cv::Mat V4L2Picture::toBgra(std::uint32_t pixelFormat, const std::uint8_t* data, std::size_t size, int width,
                            int height, int bytesPerLine)
{
    cv::Mat bgra;
    if (width <= 0 || height <= 0)
        return bgra;
    if (pixelFormat == V4L2_PIX_FMT_YUYV) {
        if (bytesPerLine < width * 2 || size < std::size_t(bytesPerLine) * std::size_t(height))
            return bgra;
        const cv::Mat packed(height, width, CV_8UC2, const_cast<std::uint8_t*>(data), std::size_t(bytesPerLine));
        cv::cvtColor(packed, bgra, cv::COLOR_YUV2BGRA_YUYV);
        return bgra;
    }
    if (pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG) {
        const QImage picture = QImage::fromData(data, int(size), "JPG").convertToFormat(QImage::Format_ARGB32);
        if (picture.width() != width || picture.height() != height)
            return bgra;
        // ARGB32 is BGRA in memory on the little-endian machines this runs on.
        cv::Mat(height, width, CV_8UC4, const_cast<uchar*>(picture.constBits()), std::size_t(picture.bytesPerLine()))
            .copyTo(bgra);
    }
    return bgra;
}
