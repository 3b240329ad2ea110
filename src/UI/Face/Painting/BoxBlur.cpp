#include "UI/Face/Painting/BoxBlur.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// One moving average of `reach` pixels each side over `count` premultiplied pixels `step`
// bytes apart.
void blurLine(uchar* first, int count, qsizetype step, int reach, std::vector<int>& sums)
{
    sums.assign(std::size_t(count + 1) * 4, 0);
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 4; ++c)
            sums[(i + 1) * 4 + c] = sums[i * 4 + c] + first[i * step + c];
    const int window = 2 * reach + 1;
    for (int i = 0; i < count; ++i) {
        const int low = std::max(i - reach, 0), high = std::min(i + reach + 1, count);
        for (int c = 0; c < 4; ++c)
            first[i * step + c] = uchar((sums[high * 4 + c] - sums[low * 4 + c] + window / 2) / window);
    }
}
}  // namespace

void boxBlur(QImage& image, double radius)
{
    // Three boxes of reach r have a standard deviation of about r + 0.5.
    const int reach = int(std::lround(radius - 0.5));
    if (reach < 1 || image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    std::vector<int> sums;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < image.height(); ++y)
            blurLine(image.scanLine(y), image.width(), 4, reach, sums);
        for (int x = 0; x < image.width(); ++x)
            blurLine(image.bits() + qsizetype(x) * 4, image.height(), image.bytesPerLine(), reach, sums);
    }
}
