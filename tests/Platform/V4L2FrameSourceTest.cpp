#include "Platform/V4L2FrameSource.h"
#include "Platform/V4L2Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <linux/videodev2.h>

#include <gtest/gtest.h>

namespace {

TEST(V4L2FrameSourceTest, WithoutACaptureDeviceThereIsNoCamera)
{
    const QTemporaryDir folder;
    QFile notADevice(folder.filePath(QStringLiteral("video0")));
    ASSERT_TRUE(notADevice.open(QIODevice::WriteOnly));
    notADevice.close();
    const QTemporaryDir empty;
    V4L2FrameSource sources[] = {V4L2FrameSource({}, empty.path()), V4L2FrameSource({}, folder.path()),
                                 V4L2FrameSource(folder.filePath(QStringLiteral("video7")))};
    for (V4L2FrameSource& source : sources) {
        const auto error = source.start([](const CameraFrame&) { FAIL() << "a frame without a camera"; });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->description(), QStringLiteral("no camera device found"));
    }
}

}  // namespace

namespace {

TEST(V4L2PictureTest, CameraPicturesBecomeBgraFramesAndDamagedOnesNothing)
{
    // YUYV: one grey pixel pair, then pure red and pure blue pairs (BT.601 video range).
    const std::vector<std::uint8_t> yuyv = {128, 128, 128, 128, 81, 90, 81, 240, 41, 240, 41, 110};
    const cv::Mat pixels = V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), 6, 1, 12);
    ASSERT_EQ(pixels.size(), cv::Size(6, 1));
    ASSERT_EQ(pixels.type(), CV_8UC4);
    // Within a few steps of each channel, as colour conversions round.
    const auto near = [](cv::Vec4b pixel, cv::Vec4b expected) {
        for (int channel = 0; channel < 4; ++channel)
            if (std::abs(int(pixel[channel]) - int(expected[channel])) > 8)
                return testing::AssertionFailure() << "B,G,R,A = " << int(pixel[0]) << ',' << int(pixel[1]) << ','
                                                   << int(pixel[2]) << ',' << int(pixel[3]);
        return testing::AssertionSuccess();
    };
    EXPECT_TRUE(near(pixels.at<cv::Vec4b>(0, 0), {130, 130, 130, 255}));
    EXPECT_TRUE(near(pixels.at<cv::Vec4b>(0, 2), {0, 0, 255, 255}));
    EXPECT_TRUE(near(pixels.at<cv::Vec4b>(0, 4), {255, 0, 0, 255}));

    // Motion-JPEG: a picture whose left half is green.
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            picture.setPixel(x, y, qRgb(0, 200, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "JPG", 95));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(jpeg.constData());
    const cv::Mat decoded = V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, bytes, std::size_t(jpeg.size()), 16, 8, 0);
    ASSERT_EQ(decoded.size(), cv::Size(16, 8));
    EXPECT_TRUE(near(decoded.at<cv::Vec4b>(4, 2), {0, 200, 0, 255}));
    EXPECT_TRUE(near(decoded.at<cv::Vec4b>(4, 13), {255, 255, 255, 255}));

    // A short buffer, a picture of another size, unknown bytes and formats give nothing.
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), 10, 6, 1, 12).empty());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), 6, 1, 8).empty());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, bytes, std::size_t(jpeg.size()), 32, 8, 0).empty());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, yuyv.data(), yuyv.size(), 6, 1, 0).empty());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_NV12, yuyv.data(), yuyv.size(), 6, 1, 12).empty());
    EXPECT_FALSE(V4L2Picture::canDecode(V4L2_PIX_FMT_NV12));
}

}  // namespace
