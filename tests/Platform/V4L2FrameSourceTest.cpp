#include "Platform/V4L2FrameSource.h"

#include <QFile>
#include <QTemporaryDir>

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
