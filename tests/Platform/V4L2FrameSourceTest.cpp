#include "Platform/V4L2FrameSource.h"
#include "Platform/V4L2Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

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
        EXPECT_EQ(error->description(), QStringLiteral("No video capture device available."));
    }
}

}  // namespace

namespace {

TEST(V4L2PictureTest, CameraPicturesBecomeBgraFramesAndDamagedOnesNothing)
{
    // YUYV: one grey pixel pair, then pure red and pure blue pairs (BT.601 video range).
    const std::vector<std::uint8_t> yuyv = {128, 128, 128, 128, 81, 90, 81, 240, 41, 240, 41, 110};
    const QImage pixels = V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), 6, 1, 12);
    ASSERT_EQ(pixels.size(), QSize(6, 1));
    ASSERT_EQ(pixels.format(), QImage::Format_ARGB32);
    // Within a few steps of each channel, as colour conversions round.
    const auto near = [](QRgb pixel, std::array<int, 4> expectedBgra) {
        const std::array<int, 4> bgra = {qBlue(pixel), qGreen(pixel), qRed(pixel), qAlpha(pixel)};
        for (int channel = 0; channel < 4; ++channel)
            if (std::abs(bgra[channel] - expectedBgra[channel]) > 8)
                return testing::AssertionFailure()
                       << "B,G,R,A = " << bgra[0] << ',' << bgra[1] << ',' << bgra[2] << ',' << bgra[3];
        return testing::AssertionSuccess();
    };
    EXPECT_TRUE(near(pixels.pixel(0, 0), {130, 130, 130, 255}));
    EXPECT_TRUE(near(pixels.pixel(2, 0), {0, 0, 255, 255}));
    EXPECT_TRUE(near(pixels.pixel(4, 0), {255, 0, 0, 255}));
    // The two pixels of a pair share their colour, not their brightness: black beside white.
    const std::vector<std::uint8_t> edges = {16, 128, 235, 128, 235, 128, 16, 128};
    const QImage edge = V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, edges.data(), edges.size(), 4, 1, 8);
    ASSERT_EQ(edge.size(), QSize(4, 1));
    EXPECT_TRUE(near(edge.pixel(0, 0), {0, 0, 0, 255}));
    EXPECT_TRUE(near(edge.pixel(1, 0), {255, 255, 255, 255}));
    EXPECT_TRUE(near(edge.pixel(2, 0), {255, 255, 255, 255}));
    EXPECT_TRUE(near(edge.pixel(3, 0), {0, 0, 0, 255}));
    // Rows padded past their pixels (as drivers align them): each row read from its own start.
    std::vector<std::uint8_t> padded(2 * 16, 0);
    std::copy(yuyv.begin(), yuyv.end(), padded.begin());
    std::copy(yuyv.begin() + 8, yuyv.end(), padded.begin() + 16);
    std::copy(yuyv.begin(), yuyv.begin() + 8, padded.begin() + 20);
    const QImage rows = V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, padded.data(), padded.size(), 6, 2, 16);
    ASSERT_EQ(rows.size(), QSize(6, 2));
    EXPECT_TRUE(near(rows.pixel(4, 0), {255, 0, 0, 255}));
    EXPECT_TRUE(near(rows.pixel(0, 1), {255, 0, 0, 255}));
    EXPECT_TRUE(near(rows.pixel(4, 1), {0, 0, 255, 255}));

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
    const QImage decoded = V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, bytes, std::size_t(jpeg.size()), 16, 8, 0);
    ASSERT_EQ(decoded.size(), QSize(16, 8));
    EXPECT_TRUE(near(decoded.pixel(2, 4), {0, 200, 0, 255}));
    EXPECT_TRUE(near(decoded.pixel(13, 4), {255, 255, 255, 255}));

    // A short buffer, rows shorter than their pixels, an odd width (pixels come in pairs), a
    // picture of another size, unknown bytes and formats give nothing.
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), 10, 6, 1, 12).isNull());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), 6, 1, 8).isNull());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), 5, 1, 12).isNull());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, bytes, std::size_t(jpeg.size()), 32, 8, 0).isNull());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_MJPEG, yuyv.data(), yuyv.size(), 6, 1, 0).isNull());
    EXPECT_TRUE(V4L2Picture::toBgra(V4L2_PIX_FMT_NV12, yuyv.data(), yuyv.size(), 6, 1, 12).isNull());
    EXPECT_FALSE(V4L2Picture::canDecode(V4L2_PIX_FMT_NV12));
}

}  // namespace
