#include "Platform/V4L2FrameSource.h"

#include "Platform/V4L2Picture.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

Q_LOGGING_CATEGORY(lcCamera, "app.parlivox.camera")

constexpr std::uint32_t kFramesPerSecond = 15;
// Sizes asked for, in this order; the last stands for the device's low setting.
constexpr int kRequestedSizes[][2] = {{352, 288}, {640, 480}, {320, 240}};
// Formats asked for, in this order: YUYV needs no decoding beyond a colour conversion.
constexpr std::uint32_t kFormats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_JPEG};
constexpr unsigned kBufferCount = 4;
// Cameras deliver dark pictures while their exposure settles after a start.
constexpr int kSettlingFrames = 5;
// How long a start waits for the first picture, and how often the capture loop looks up.
constexpr int kFirstPictureMs = 3000;
constexpr int kPollMs = 200;

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What the kernel said about a device: not ours to open, or the device's own failure, with its words.
CameraError refusal(const QString& node, int error = errno)
{
    const QString reason = node + QStringLiteral(": ") + systemError(error);
    if (error == EACCES || error == EPERM) {
        qCWarning(lcCamera, "%s", qPrintable(reason));
        return CameraError{CameraError::Kind::authorizationDenied, {}};
    }
    return CameraError{CameraError::Kind::deviceFailed, reason};
}

// ioctl, asked again when a signal interrupts it.
int control(int fd, unsigned long request, void* argument)
{
    int result;
    do
        result = ::ioctl(fd, request, argument);
    while (result < 0 && errno == EINTR);
    return result;
}

// Whether the node is a device that streams captured video; `error` is set to errno when it
// cannot even be asked.
bool capturesVideo(const QString& node, int* error)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    v4l2_capability capability{};
    const bool queried = control(fd, VIDIOC_QUERYCAP, &capability) == 0;
    ::close(fd);
    const __u32 caps =
        (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps : capability.capabilities;
    return queried && (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING);
}

QString fourCC(std::uint32_t format)
{
    const char text[] = {char(format & 0xff), char((format >> 8) & 0xff), char((format >> 16) & 0xff),
                         char((format >> 24) & 0xff)};
    return QString::fromLatin1(text, 4);
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
    std::optional<CameraError> error = open();
    if (!error)
        error = configure();
    if (!error)
        error = startStreaming();
    if (!error) {
        bool failed = false;
        if (nextPicture(kFirstPictureMs, &failed).isNull())
            error = CameraError{CameraError::Kind::deviceFailed, m_node + QStringLiteral(" delivered no picture")};
    }
    if (error) {
        release();
        return error;
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
    release();
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
    // A node that could not even be asked may be the camera: its refusal is the answer.
    std::optional<CameraError> refused;
    for (const QString& node : nodes) {
        int error = 0;
        if (!capturesVideo(node, &error)) {
            if (!refused && (error == EACCES || error == EBUSY || error == EPERM))
                refused = refusal(node, error);
            continue;
        }
        m_fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return refusal(node);
        m_node = node;
        qCInfo(lcCamera, "camera device %s", qPrintable(node));
        return std::nullopt;
    }
    if (refused)
        return refused;
    return CameraError{CameraError::Kind::noDevice, {}};
}

std::optional<CameraError> V4L2FrameSource::configure()
{
    // The first format the camera offers, in our order of preference.
    std::vector<std::uint32_t> offered;
    v4l2_fmtdesc description{};
    description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    while (control(m_fd, VIDIOC_ENUM_FMT, &description) == 0) {
        offered.push_back(description.pixelformat);
        ++description.index;
    }
    const auto* chosen = std::find_if(std::begin(kFormats), std::end(kFormats), [&](std::uint32_t format) {
        return std::find(offered.begin(), offered.end(), format) != offered.end();
    });
    if (chosen == std::end(kFormats))
        return CameraError{CameraError::Kind::configurationFailed,
                           QStringLiteral("no picture format it can deliver is known here")};

    v4l2_format format{};
    for (const auto& size : kRequestedSizes) {
        format = {};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        format.fmt.pix.width = __u32(size[0]);
        format.fmt.pix.height = __u32(size[1]);
        format.fmt.pix.pixelformat = *chosen;
        format.fmt.pix.field = V4L2_FIELD_NONE;
        if (control(m_fd, VIDIOC_S_FMT, &format) < 0)
            return errno == EBUSY ? refusal(m_node)
                                  : CameraError{CameraError::Kind::configurationFailed, systemError()};
        if (int(format.fmt.pix.width) == size[0] && int(format.fmt.pix.height) == size[1])
            break;
    }
    if (!V4L2Picture::canDecode(format.fmt.pix.pixelformat))
        return CameraError{CameraError::Kind::configurationFailed,
                           QStringLiteral("the camera changed the picture format to ") +
                               fourCC(format.fmt.pix.pixelformat)};
    m_pixelFormat = format.fmt.pix.pixelformat;
    m_width = int(format.fmt.pix.width);
    m_height = int(format.fmt.pix.height);
    m_bytesPerLine = int(format.fmt.pix.bytesperline);

    v4l2_streamparm rate{};
    rate.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    double framesPerSecond = 0;
    if (control(m_fd, VIDIOC_G_PARM, &rate) == 0 && (rate.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) {
        rate.parm.capture.timeperframe = {1, kFramesPerSecond};
        control(m_fd, VIDIOC_S_PARM, &rate);
        const v4l2_fract& frame = rate.parm.capture.timeperframe;
        framesPerSecond = frame.numerator ? double(frame.denominator) / frame.numerator : 0;
    }
    if (framesPerSecond != kFramesPerSecond)
        qCInfo(lcCamera, "skipping 15fps cap — camera's active format does not support it");
    qCInfo(lcCamera, "camera format %s %d×%d at %g frames per second", qPrintable(fourCC(m_pixelFormat)), m_width,
           m_height, framesPerSecond);
    return std::nullopt;
}

std::optional<CameraError> V4L2FrameSource::startStreaming()
{
    v4l2_requestbuffers request{};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (control(m_fd, VIDIOC_REQBUFS, &request) < 0)
        return refusal(m_node);
    if (request.count == 0)
        return CameraError{CameraError::Kind::configurationFailed, QStringLiteral("no picture buffers")};
    for (unsigned index = 0; index < request.count; ++index) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        if (control(m_fd, VIDIOC_QUERYBUF, &buffer) < 0)
            return refusal(m_node);
        void* start = ::mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, buffer.m.offset);
        if (start == MAP_FAILED)
            return refusal(m_node);
        m_buffers.push_back({start, buffer.length});
        if (control(m_fd, VIDIOC_QBUF, &buffer) < 0)
            return refusal(m_node);
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (control(m_fd, VIDIOC_STREAMON, &type) < 0)
        return refusal(m_node);
    m_streaming = true;
    return std::nullopt;
}

QImage V4L2FrameSource::nextPicture(int timeoutMs, bool* failed)
{
    pollfd ready{m_fd, POLLIN, 0};
    const int polled = ::poll(&ready, 1, timeoutMs);
    if (polled <= 0) {
        *failed = polled < 0 && errno != EINTR;
        return {};
    }
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (control(m_fd, VIDIOC_DQBUF, &buffer) < 0) {
        *failed = errno != EAGAIN;
        return {};
    }
    QImage picture;
    if (buffer.index < m_buffers.size() && !(buffer.flags & V4L2_BUF_FLAG_ERROR))
        picture = V4L2Picture::toBgra(m_pixelFormat, static_cast<const std::uint8_t*>(m_buffers[buffer.index].start),
                                      buffer.bytesused, m_width, m_height, m_bytesPerLine);
    if (control(m_fd, VIDIOC_QBUF, &buffer) < 0)
        *failed = true;
    return picture;
}

void V4L2FrameSource::capture(FrameHandler handler)
{
    for (int frame = 1; !m_stopping;) {
        bool failed = false;
        QImage picture = nextPicture(kPollMs, &failed);
        if (failed) {
            qCWarning(lcCamera, "the camera stopped delivering pictures: %s", qPrintable(systemError()));
            return;
        }
        if (picture.isNull() || frame++ < kSettlingFrames)
            continue;
        handler(CameraFrame{std::move(picture), std::chrono::steady_clock::now()});
    }
}

void V4L2FrameSource::release()
{
    if (m_streaming) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        control(m_fd, VIDIOC_STREAMOFF, &type);
        m_streaming = false;
    }
    for (const Mapping& mapping : m_buffers)
        ::munmap(mapping.start, mapping.length);
    m_buffers.clear();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
