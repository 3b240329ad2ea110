#include "Platform/V4L2FrameSource.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <opencv2/imgproc.hpp>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

Q_LOGGING_CATEGORY(lcCamera, "app.parlivox.camera")

constexpr double framesPerSecond = 15.0;
// Sizes asked for, in this order; the last stands for the device's low setting.
constexpr int requestedSizes[][2] = {{352, 288}, {640, 480}, {320, 240}};
// Cameras deliver dark pictures while their exposure settles after a start.
constexpr int settlingFrames = 5;

// Whether the node is a device that captures video; `error` is set to errno when it cannot
// even be asked.
bool capturesVideo(const QString& node, int* error)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    v4l2_capability capability{};
    const bool queried = ::ioctl(fd, VIDIOC_QUERYCAP, &capability) == 0;
    ::close(fd);
    const __u32 caps =
        (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
    return queried && (caps & V4L2_CAP_VIDEO_CAPTURE);
}

}  // namespace

V4L2FrameSource::V4L2FrameSource(QString devicePath, QString deviceFolder)
    : m_devicePath(std::move(devicePath)), m_deviceFolder(std::move(deviceFolder))
{
}

V4L2FrameSource::~V4L2FrameSource()
{
    stop();
}

std::optional<CameraError> V4L2FrameSource::start(FrameHandler handler)
{
    stop();
    if (const auto error = open())
        return error;
    configure();
    cv::Mat first;
    if (!m_capture.read(first) || first.empty()) {
        m_capture.release();
        return CameraError{CameraError::Kind::authorizationDenied, QStringLiteral("the camera delivered no picture")};
    }
    m_stopping = false;
    m_thread = std::thread([this, handler = std::move(handler)] { capture(handler); });
    return std::nullopt;
}

void V4L2FrameSource::stop()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    m_capture.release();
}

std::optional<CameraError> V4L2FrameSource::open()
{
    QStringList nodes;
    if (!m_devicePath.isEmpty()) {
        nodes.append(m_devicePath);
    } else {
        // video0, video1, ... in number order; cameras also have metadata nodes, skipped below.
        const QRegularExpression videoNode(QStringLiteral("^video(\\d+)$"));
        QList<std::pair<int, QString>> found;
        for (const QString& name : QDir(m_deviceFolder).entryList(QDir::System | QDir::Files)) {
            const QRegularExpressionMatch match = videoNode.match(name);
            if (match.hasMatch())
                found.append({match.captured(1).toInt(), QDir(m_deviceFolder).filePath(name)});
        }
        std::sort(found.begin(), found.end());
        for (const auto& node : found)
            nodes.append(node.second);
    }
    int refusal = 0;
    for (const QString& node : nodes) {
        int error = 0;
        if (!capturesVideo(node, &error)) {
            if (error == EACCES || error == EBUSY || error == EPERM)
                refusal = error;
            continue;
        }
        if (m_capture.open(QFile::encodeName(node).toStdString(), cv::CAP_V4L2)) {
            qCInfo(lcCamera, "camera device %s", qPrintable(node));
            return std::nullopt;
        }
        return CameraError{CameraError::Kind::authorizationDenied,
                           QStringLiteral("%1 could not be opened (in use by another program?)").arg(node)};
    }
    if (refusal != 0)
        return CameraError{CameraError::Kind::authorizationDenied, QString::fromLocal8Bit(std::strerror(refusal))};
    return CameraError{CameraError::Kind::noDevice, {}};
}

void V4L2FrameSource::configure()
{
    int width = 0, height = 0;
    for (const auto& size : requestedSizes) {
        m_capture.set(cv::CAP_PROP_FRAME_WIDTH, size[0]);
        m_capture.set(cv::CAP_PROP_FRAME_HEIGHT, size[1]);
        width = int(m_capture.get(cv::CAP_PROP_FRAME_WIDTH));
        height = int(m_capture.get(cv::CAP_PROP_FRAME_HEIGHT));
        if (width == size[0] && height == size[1])
            break;
    }
    m_capture.set(cv::CAP_PROP_FPS, framesPerSecond);
    const double rate = m_capture.get(cv::CAP_PROP_FPS);
    if (rate != framesPerSecond)
        qCInfo(lcCamera, "skipping 15fps cap — camera's active format does not support it");
    qCInfo(lcCamera, "camera format %d×%d at %g frames per second", width, height, rate);
}

void V4L2FrameSource::capture(FrameHandler handler)
{
    cv::Mat captured;
    for (int frame = 1; !m_stopping; ++frame) {
        if (!m_capture.read(captured) || captured.empty()) {
            qCWarning(lcCamera, "the camera stopped delivering pictures");
            return;
        }
        if (frame < settlingFrames)
            continue;
        cv::Mat bgra;  // a new one each time: subscribers keep frames
        cv::cvtColor(captured, bgra, captured.channels() == 1 ? cv::COLOR_GRAY2BGRA : cv::COLOR_BGR2BGRA);
        handler(CameraFrame{bgra, std::chrono::steady_clock::now()});
    }
}
