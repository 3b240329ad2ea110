#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

// One picture as a V4L2 camera hands it over, turned into the BGRA frames the rest of the
// system takes. Packed YUV 4:2:2 (YUYV) is what nearly every webcam offers at the sizes asked
// for; Motion-JPEG is the fallback of cameras that offer nothing else.
namespace V4L2Picture {

// Whether pictures of this V4L2 pixel format can be decoded.
bool canDecode(std::uint32_t pixelFormat);

// A new picture (QImage::Format_ARGB32, owning its pixels), or a null one when the bytes are
// not a whole picture of that format and size.
QImage toBgra(std::uint32_t pixelFormat, const std::uint8_t* data, std::size_t size, int width, int height,
              int bytesPerLine);

}  // namespace V4L2Picture
