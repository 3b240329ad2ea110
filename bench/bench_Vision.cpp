// Face analysis per 640×480 camera frame, as the face tracker runs it: shrink to gray (or
// not), mirror, find the face and read the head pose. Following a face is the steady state;
// a face seen afresh searches the whole picture; an empty room is searched picture after
// picture. The bare detector is one call of the frontal detector on the same shrunk picture.
// Before all that, the camera's picture is turned into a frame.
#include "Platform/V4L2Picture.h"
#include "Vision/CascadeFaceDetector.h"
#include "Vision/FramePreprocessor.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

#include <linux/videodev2.h>

#include <vector>

namespace {

// The portrait cropped to 4:3 around the face at 640×480 BGRA, as a webcam frames someone at
// a desk.
cv::Mat portraitPicture()
{
    const cv::Mat portrait =
        cv::imread("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg", cv::IMREAD_COLOR);
    cv::Mat frame;
    cv::resize(portrait(cv::Rect(0, 20, 512, 384)), frame, cv::Size(640, 480), 0, 0, cv::INTER_CUBIC);
    cv::cvtColor(frame, frame, cv::COLOR_BGR2BGRA);
    return frame;
}

// A BGRA picture as the camera hands frames over.
QImage asFrame(const cv::Mat& bgra)
{
    return QImage(bgra.data, bgra.cols, bgra.rows, int(bgra.step), QImage::Format_ARGB32).copy();
}

void run(benchmark::State& state, const QImage& frame, bool grayscale, bool afresh, bool faceExpected = true)
{
    CascadeFaceDetector detector(*FaceCascades::load());
    if (detector.detect(frame, grayscale).has_value() != faceExpected) {
        state.SkipWithError("the frame does not show what this benchmark measures");
        return;
    }
    for (auto _ : state) {
        if (afresh)
            detector.reset();
        benchmark::DoNotOptimize(detector.detect(frame, grayscale));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FollowingAFace(benchmark::State& state)
{
    run(state, asFrame(portraitPicture()), state.range(0) != 0, false);
}
BENCHMARK(BM_FollowingAFace)->ArgName("grayscale")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FaceSeenAfresh(benchmark::State& state)
{
    run(state, asFrame(portraitPicture()), true, true);
}
BENCHMARK(BM_FaceSeenAfresh)->Unit(benchmark::kMillisecond);

cv::Mat emptyRoom()
{
    cv::Mat empty(480, 640, CV_8UC4);
    cv::randu(empty, 0, 255);
    return empty;
}

void BM_EmptyRoom(benchmark::State& state)
{
    run(state, asFrame(emptyRoom()), true, false, false);
}
BENCHMARK(BM_EmptyRoom)->Unit(benchmark::kMillisecond);

void BM_BareDetector(benchmark::State& state)
{
    FramePreprocessor preprocessor;
    std::optional<FaceCascades> cascades = FaceCascades::load();
    const cv::Mat gray = preprocessor.process(state.range(0) ? portraitPicture() : emptyRoom()).clone();
    const int minSide = int(std::min(gray.cols, gray.rows) * 0.2);
    std::vector<cv::Rect> faces;
    for (auto _ : state) {
        cascades->frontal.detectMultiScale(gray, faces, 1.1, 3, 0, cv::Size(minSide, minSide));
        benchmark::DoNotOptimize(faces);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareDetector)->ArgName("face")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A webcam's 640×480 YUYV picture turned into the frame the rest of the system takes, on the
// capture thread, fifteen times a second.
void BM_YuyvPictureToFrame(benchmark::State& state)
{
    constexpr int kWidth = 640, kHeight = 480;
    std::vector<std::uint8_t> yuyv(std::size_t(kWidth) * kHeight * 2);
    for (std::size_t i = 0; i < yuyv.size(); ++i)
        yuyv[i] = std::uint8_t((i * 37) ^ (i >> 9));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            V4L2Picture::toBgra(V4L2_PIX_FMT_YUYV, yuyv.data(), yuyv.size(), kWidth, kHeight, kWidth * 2));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_YuyvPictureToFrame)->Unit(benchmark::kMillisecond);

}  // namespace
