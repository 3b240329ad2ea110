// Face analysis per 640×480 camera frame, as the face tracker runs it: shrink to gray (or
// not), mirror, find the face and read the head pose. Following a face is the steady state;
// a face seen afresh searches the whole picture; an empty room is searched picture after
// picture. The bare detector is one call of the frontal detector on the same shrunk picture.
#include "Vision/CascadeFaceDetector.h"
#include "Vision/FramePreprocessor.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

namespace {

// The portrait cropped to 4:3 around the face at 640×480 BGRA, as a webcam frames someone at
// a desk.
cv::Mat portraitFrame()
{
    const cv::Mat portrait =
        cv::imread("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg", cv::IMREAD_COLOR);
    cv::Mat frame;
    cv::resize(portrait(cv::Rect(0, 20, 512, 384)), frame, cv::Size(640, 480), 0, 0, cv::INTER_CUBIC);
    cv::cvtColor(frame, frame, cv::COLOR_BGR2BGRA);
    return frame;
}

std::optional<FaceObservation> analyse(FramePreprocessor& preprocessor, FaceDetector& detector, const cv::Mat& frame)
{
    cv::Mat mirrored;
    cv::flip(preprocessor.process(frame), mirrored, 1);
    return detector.detect(mirrored);
}

void run(benchmark::State& state, const cv::Mat& frame, bool grayscale, bool afresh, bool faceExpected = true)
{
    FramePreprocessor preprocessor;
    preprocessor.setGrayscale(grayscale);
    CascadeFaceDetector detector(*FaceCascades::load());
    if (analyse(preprocessor, detector, frame).has_value() != faceExpected) {
        state.SkipWithError("the frame does not show what this benchmark measures");
        return;
    }
    for (auto _ : state) {
        if (afresh)
            detector.reset();
        benchmark::DoNotOptimize(analyse(preprocessor, detector, frame));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FollowingAFace(benchmark::State& state)
{
    run(state, portraitFrame(), state.range(0) != 0, false);
}
BENCHMARK(BM_FollowingAFace)->ArgName("grayscale")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FaceSeenAfresh(benchmark::State& state)
{
    run(state, portraitFrame(), true, true);
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
    run(state, emptyRoom(), true, false, false);
}
BENCHMARK(BM_EmptyRoom)->Unit(benchmark::kMillisecond);

void BM_BareDetector(benchmark::State& state)
{
    FramePreprocessor preprocessor;
    std::optional<FaceCascades> cascades = FaceCascades::load();
    const cv::Mat gray = preprocessor.process(state.range(0) ? portraitFrame() : emptyRoom()).clone();
    const int minSide = int(std::min(gray.cols, gray.rows) * 0.2);
    std::vector<cv::Rect> faces;
    for (auto _ : state) {
        cascades->frontal.detectMultiScale(gray, faces, 1.1, 3, 0, cv::Size(minSide, minSide));
        benchmark::DoNotOptimize(faces);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareDetector)->ArgName("face")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
