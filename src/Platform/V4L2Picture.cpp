#include "Platform/V4L2Picture.h"

#include <linux/videodev2.h>

#include <algorithm>

namespace {

std::uint8_t clamped(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

// One pixel of YUYV (BT.601 video range, the encoding of webcams) into BGRA, from its
// brightness and the colour terms it shares with its neighbour.
void putPixel(std::uint8_t* bgra, int y, int blue, int green, int red)
{
    const int c = 298 * (y - 16) + 128;
    bgra[0] = clamped((c + blue) >> 8);
    bgra[1] = clamped((c + green) >> 8);
    bgra[2] = clamped((c + red) >> 8);
    bgra[3] = 255;
}

}  // namespace

bool V4L2Picture::canDecode(std::uint32_t pixelFormat)
{
    return pixelFormat == V4L2_PIX_FMT_YUYV || pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG;
}

QImage V4L2Picture::toBgra(std::uint32_t pixelFormat, const std::uint8_t* data, std::size_t size, int width, int height,
                           int bytesPerLine)
{
    if (width <= 0 || height <= 0)
        return {};
    if (pixelFormat == V4L2_PIX_FMT_YUYV) {
        if (width % 2 != 0 || bytesPerLine < width * 2 || size < std::size_t(bytesPerLine) * std::size_t(height))
            return {};
        // ARGB32 is BGRA in memory on the little-endian machines this runs on.
        QImage picture(width, height, QImage::Format_ARGB32);
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* in = data + std::size_t(row) * std::size_t(bytesPerLine);
            std::uint8_t* out = picture.scanLine(row);
            // Y0 U Y1 V: two pixels that share their colour.
            for (int column = 0; column < width; column += 2, in += 4, out += 8) {
                const int u = in[1] - 128, v = in[3] - 128;
                const int blue = 516 * u, green = -100 * u - 208 * v, red = 409 * v;
                putPixel(out, in[0], blue, green, red);
                putPixel(out + 4, in[2], blue, green, red);
            }
        }
        return picture;
    }
    if (pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG) {
        QImage picture = QImage::fromData(data, int(size), "JPG").convertToFormat(QImage::Format_ARGB32);
        if (picture.width() != width || picture.height() != height)
            return {};
        return picture;
    }
    return {};
}
