// Face analysis per 320×240 camera frame, as the face tracker runs it: shrink to gray (or
// not), mirror, find the face and read the head pose. Following a face is the steady state;
// a face seen afresh and a frame without a face search the whole picture.
#include "Vision/CascadeFaceDetector.h"
#include "Vision/FramePreprocessor.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <benchmark/benchmark.h>

namespace {

// The portrait cropped to 4:3 around the face and shrunk to 320×240 BGRA, as a webcam frames
// someone at a desk.
cv::Mat portraitFrame()
{
    const cv::Mat portrait =
        cv::imread("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg", cv::IMREAD_COLOR);
    cv::Mat frame;
    cv::resize(portrait(cv::Rect(0, 20, 512, 384)), frame, cv::Size(320, 240), 0, 0, cv::INTER_AREA);
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

void BM_FrameWithoutAFace(benchmark::State& state)
{
    cv::Mat empty(240, 320, CV_8UC4);
    cv::randu(empty, 0, 255);
    run(state, empty, true, false, false);
}
BENCHMARK(BM_FrameWithoutAFace)->Unit(benchmark::kMillisecond);

}  // namespace
