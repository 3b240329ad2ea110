#include "Vision/FramePreprocessor.h"

#include <QLoggingCategory>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>

namespace {

Q_LOGGING_CATEGORY(lcPreprocessor, "app.parlivox.vision.preproc")

}  // namespace

cv::Mat FramePreprocessor::process(const cv::Mat& bgra)
{
    if (!m_grayscale || bgra.empty())
        return bgra;
    const double scale = std::min(double(m_maxOutputEdge) / std::max(bgra.cols, bgra.rows), 1.0);
    const cv::Size size(int(scale * bgra.cols), int(scale * bgra.rows));
    if (size.area() == 0)
        return bgra;
    if (size != m_poolSize) {
        qCInfo(lcPreprocessor, "recreated pool %ld×%ld L8", long(size.width), long(size.height));
        m_poolSize = size;
        m_output.release();
    }
    // The last picture is still held by someone: hand out a new one instead of writing over it.
    if (m_output.u && std::atomic_ref<int>(m_output.u->refcount).load(std::memory_order_acquire) > 1)
        m_output.release();
    m_output.create(size, CV_8UC1);
    if (scale == 1.0) {
        cv::cvtColor(bgra, m_output, cv::COLOR_BGRA2GRAY);
    } else {
        cv::cvtColor(bgra, m_gray, cv::COLOR_BGRA2GRAY);
        cv::resize(m_gray, m_output, size, 0, 0, cv::INTER_AREA);
    }
    return m_output;
}
