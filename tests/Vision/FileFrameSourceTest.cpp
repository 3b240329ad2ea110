#include "Vision/FileFrameSource.h"

#include <QFile>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>

#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

namespace {

TEST(FileFrameSourceTest, ReplaysTheFolderInNameOrderOverAndOver)
{
    const QTemporaryDir folder;
    cv::imwrite(folder.filePath(QStringLiteral("b.png")).toStdString(), cv::Mat(4, 6, CV_8UC3, cv::Scalar::all(20)));
    cv::imwrite(folder.filePath(QStringLiteral("a.png")).toStdString(), cv::Mat(4, 6, CV_8UC3, cv::Scalar::all(10)));
    QFile notes(folder.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();

    std::mutex mutex;
    std::vector<int> values;
    FileFrameSource source(folder.path(), 500.0);
    ASSERT_EQ(source.start([&](const CameraFrame& frame) {
        ASSERT_EQ(frame.pixels.type(), CV_8UC4);
        std::lock_guard lock(mutex);
        values.push_back(frame.pixels.at<cv::Vec4b>(0, 0)[0]);
    }),
              std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(mutex);
            return values.size() >= 3;
        },
        10000));
    source.stop();
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 3), (std::vector<int>{10, 20, 10}));

    FileFrameSource missing(folder.filePath(QStringLiteral("gone")), 15.0);
    const auto error = missing.start([](const CameraFrame&) {});
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->description(),
              QStringLiteral("Camera configuration failed: no picture in ") + folder.filePath(QStringLiteral("gone")));
}

}  // namespace
