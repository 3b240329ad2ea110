#include "Vision/CascadeFaceDetector.h"
#include "Portrait.h"
#include "Vision/FramePreprocessor.h"
#include "Vision/GazeEstimator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// What the detector reports for a frame after following it for a few pictures, as the
// tracker would show it (shrunk to gray, no mirroring: the signs are those of the frame).
std::optional<FaceObservation> settled(const cv::Mat& frame)
{
    CascadeFaceDetector detector(*FaceCascades::load());
    FramePreprocessor preprocessor;
    std::optional<FaceObservation> observation;
    for (int i = 0; i < 6; ++i)
        observation = detector.detect(preprocessor.process(frame));
    return observation;
}

int sign(double value)
{
    return (value > 0) - (value < 0);
}

TEST(CascadeFaceDetectorTest, FindsThePortraitLookingAtTheScreen)
{
    const auto observation = settled(Portrait::frame());
    ASSERT_TRUE(observation.has_value());
    EXPECT_LE(std::abs(observation->yaw), 0.13);
    EXPECT_LE(std::abs(observation->pitch), 0.18);
    // The face is in the upper middle of the frame.
    EXPECT_TRUE(observation->bbox.contains(QPointF(0.5, 0.35)))
        << observation->bbox.x() << " " << observation->bbox.y();
    EXPECT_EQ(GazeEstimator{}.estimate(observation).status, GazeStatus::lookingAtScreen);
}

TEST(CascadeFaceDetectorTest, TurnedAndLeaningHeadsGiveTheSignsOfTheirAngles)
{
    struct Case {
        const char* name;
        cv::Mat picture;
        int rollSign;  // 0: not checked
        int yawSign;
        GazeStatus gaze;
    };
    const Case cases[] = {
        {"leaning clockwise", Portrait::rotated(-15), 1, 0, GazeStatus::lookingAtScreen},
        {"leaning counter-clockwise", Portrait::rotated(15), -1, 0, GazeStatus::lookingAtScreen},
        {"mirrored lean", Portrait::mirrored(Portrait::rotated(15)), 1, 0, GazeStatus::lookingAtScreen},
        {"turned towards +x", Portrait::turned(30), 0, 1, GazeStatus::lookingAway},
        {"turned towards -x", Portrait::turned(-30), 0, -1, GazeStatus::lookingAway},
        {"mirrored turn", Portrait::mirrored(Portrait::turned(30)), 0, -1, GazeStatus::lookingAway},
    };
    for (const Case& c : cases) {
        const auto observation = settled(Portrait::frame(c.picture));
        ASSERT_TRUE(observation.has_value()) << c.name;
        if (c.rollSign != 0) {
            EXPECT_EQ(sign(observation->roll), c.rollSign) << c.name << " roll " << observation->roll;
            EXPECT_GT(std::abs(observation->roll), 0.15) << c.name;
        }
        if (c.yawSign != 0) {
            EXPECT_EQ(sign(observation->yaw), c.yawSign) << c.name << " yaw " << observation->yaw;
        }
        EXPECT_EQ(GazeEstimator{}.estimate(observation).status, c.gaze)
            << c.name << " yaw " << observation->yaw << " pitch " << observation->pitch;
    }
}

TEST(CascadeFaceDetectorTest, SeesNoFaceWhereThereIsNone)
{
    const cv::Mat portrait = Portrait::picture();
    const cv::Mat frames[] = {
        cv::Mat(240, 320, CV_8UC4, cv::Scalar::all(128)),
        Portrait::noisy(cv::Mat(240, 320, CV_8UC4, cv::Scalar::all(128)), 40, 1),
        Portrait::frame(portrait(cv::Rect(0, 0, 150, 600))),  // the flag beside her
    };
    for (const cv::Mat& frame : frames)
        EXPECT_FALSE(settled(frame).has_value());
}

// An empty room is searched cheaply most of the time; whoever comes in is still found soon.
TEST(CascadeFaceDetectorTest, SomeoneEnteringAnEmptyRoomIsFoundWithinAFewPictures)
{
    const struct {
        const char* name;
        cv::Mat picture;
        int atMost;  // pictures until found
    } cases[] = {
        {"facing the screen", Portrait::frame(), 1},
        {"leaning", Portrait::frame(Portrait::rotated(15)), CascadeFaceDetector::kThoroughEvery},
        {"turned aside", Portrait::frame(Portrait::turned(60)), CascadeFaceDetector::kThoroughEvery},
    };
    const cv::Mat empty = Portrait::noisy(cv::Mat(240, 320, CV_8UC4, cv::Scalar::all(128)), 20, 7);
    for (const auto& c : cases) {
        for (int emptyPictures = 1; emptyPictures <= CascadeFaceDetector::kThoroughEvery; ++emptyPictures) {
            SCOPED_TRACE(std::string(c.name) + " after " + std::to_string(emptyPictures) + " empty pictures");
            CascadeFaceDetector detector(*FaceCascades::load());
            FramePreprocessor preprocessor;
            for (int i = 0; i < emptyPictures; ++i)
                ASSERT_FALSE(detector.detect(preprocessor.process(empty)).has_value());
            int pictures = 1;
            while (!detector.detect(preprocessor.process(c.picture)) && pictures <= c.atMost)
                ++pictures;
            EXPECT_LE(pictures, c.atMost);
        }
    }
}

TEST(CascadeFaceDetectorTest, SensorNoiseOnAStillFaceNeverReadsAsLookingAway)
{
    CascadeFaceDetector detector(*FaceCascades::load());
    FramePreprocessor preprocessor;
    const cv::Mat still = Portrait::frame();
    for (unsigned seed = 1; seed <= 100; ++seed) {
        const auto observation = detector.detect(preprocessor.process(Portrait::noisy(still, 6, seed)));
        ASSERT_TRUE(observation.has_value()) << "frame " << seed;
        EXPECT_EQ(GazeEstimator{}.estimate(observation).status, GazeStatus::lookingAtScreen)
            << "frame " << seed << " yaw " << observation->yaw << " pitch " << observation->pitch;
    }
}

TEST(CascadeFaceDetectorTest, AMissingDetectorFileIsNamed)
{
    const QTemporaryDir empty;
    const QByteArray previous = qgetenv("OPENCV_SAMPLES_DATA_PATH");
    qputenv("OPENCV_SAMPLES_DATA_PATH", empty.path().toLocal8Bit());
    QString error;
    EXPECT_FALSE(FaceCascades::load(&error).has_value());
    qputenv("OPENCV_SAMPLES_DATA_PATH", previous);
    if (previous.isEmpty())
        qunsetenv("OPENCV_SAMPLES_DATA_PATH");
    EXPECT_EQ(error, QStringLiteral("face detector file lbpcascades/lbpcascade_frontalface.xml not found (it comes "
                                    "with opencv-data)"));
}

}  // namespace
