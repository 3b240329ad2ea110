#include "Vision/FramePreprocessor.h"
#include "Common/LogCapture.h"

#include <gtest/gtest.h>

namespace {

TEST(FramePreprocessorTest, ShrinksToTheLongestEdgeInGrayAndNeverEnlarges)
{
    struct Case {
        cv::Size input;
        cv::Size output;
    };
    const Case cases[] = {
        {{352, 288}, {288, 235}},  // 235.6 truncated
        {{640, 480}, {288, 216}},
        {{240, 320}, {216, 288}},
        {{200, 100}, {200, 100}},
    };
    FramePreprocessor preprocessor;
    for (const Case& c : cases) {
        const cv::Mat output = preprocessor.process(cv::Mat(c.input, CV_8UC4, cv::Scalar(255, 0, 0, 255)));
        EXPECT_EQ(output.size(), c.output) << c.input.width << "×" << c.input.height;
        EXPECT_EQ(output.type(), CV_8UC1);
        EXPECT_EQ(output.at<uchar>(0, 0), 29);  // blue's share of gray
    }
}

TEST(FramePreprocessorTest, PassesTheVeryFrameWhenOffAndReusesPicturesOnlyOnceReleased)
{
    const LogCapture log(QStringLiteral("app.parlivox.vision.preproc"));
    FramePreprocessor preprocessor;
    const cv::Mat frame(480, 640, CV_8UC4, cv::Scalar::all(90));
    preprocessor.setGrayscale(false);
    EXPECT_EQ(preprocessor.process(frame).data, frame.data);
    preprocessor.setGrayscale(true);
    const cv::Mat held = preprocessor.process(frame);
    const uchar* reusable = preprocessor.process(frame).data;  // released at once
    EXPECT_NE(reusable, held.data);
    EXPECT_EQ(preprocessor.process(frame).data, reusable);
    preprocessor.process(cv::Mat(288, 352, CV_8UC4, cv::Scalar::all(90)));
    preprocessor.process(frame);
    EXPECT_EQ(log.messages(),
              QStringList({QStringLiteral("recreated pool 288×216 L8"), QStringLiteral("recreated pool 288×235 L8"),
                           QStringLiteral("recreated pool 288×216 L8")}));
}

}  // namespace
