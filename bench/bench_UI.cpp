// The cost of one face frame at the window's size, while speaking (the face changes 16.7
// times a second then): with the blurred halo already made, as in every frame but the first
// after a resize, from a fresh painter, which makes it first, and half way through easing
// into speaking (a frame every 16 ms for 0.18 s), two halos and every shape blended. And the cost of one new
// pipeline-log entry on the GUI thread once the log is full, with the raw log's and the
// timeline's list models following it.
#include "Diagnostics/PipelineLog.h"
#include "Support/QtScheduler.h"
#include "UI/Face/Painting/FacePainter.h"
#include "UI/Models/FaceTransition.h"
#include "UI/Models/LogViewText.h"
#include "UI/Models/PipelineLogModel.h"
#include "UI/Models/TimelineText.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const QSize kWindowSize(800, 720);

FaceAvatarModel::State speakingFace()
{
    FaceAvatarModel::State face;
    face.phase = ConversationPhase::speaking;
    face.gender = AvatarGender::female;
    return face;
}

void paintFrame(FacePainter& painter, QImage& image, FaceAvatarModel::State& face)
{
    face.speakingPhase = std::fmod(face.speakingPhase + 0.18, 1.0);
    image.fill(Qt::white);
    QPainter p(&image);
    painter.paint(p, FaceAvatarModel::frame(face, image.rect()));
}

void BM_FaceFrame(benchmark::State& state)
{
    QImage image(kWindowSize, QImage::Format_ARGB32_Premultiplied);
    FacePainter painter;
    auto face = speakingFace();
    for (auto _ : state)
        paintFrame(painter, image, face);
}
BENCHMARK(BM_FaceFrame)->Unit(benchmark::kMillisecond);

void BM_FaceFrameFirstAfterResize(benchmark::State& state)
{
    QImage image(kWindowSize, QImage::Format_ARGB32_Premultiplied);
    auto face = speakingFace();
    for (auto _ : state) {
        FacePainter painter;
        paintFrame(painter, image, face);
    }
}
BENCHMARK(BM_FaceFrameFirstAfterResize)->Unit(benchmark::kMillisecond);

void BM_FaceFrameWhileEasing(benchmark::State& state)
{
    QImage image(kWindowSize, QImage::Format_ARGB32_Premultiplied);
    FacePainter painter;
    FaceAvatarModel::State thinking = speakingFace();
    thinking.phase = ConversationPhase::thinking;
    const FaceAvatarModel::Frame from = FaceAvatarModel::frame(thinking, image.rect());
    auto face = speakingFace();
    for (auto _ : state) {
        face.speakingPhase = std::fmod(face.speakingPhase + 0.18, 1.0);
        image.fill(Qt::white);
        QPainter p(&image);
        painter.paint(p, FaceTransition::blended(from, FaceAvatarModel::frame(face, image.rect()), 0.5));
    }
}
BENCHMARK(BM_FaceFrameWhileEasing)->Unit(benchmark::kMillisecond);

void BM_LogEntryIntoFullLogWithViewModels(benchmark::State& state)
{
    QtScheduler scheduler;
    PipelineLog log(scheduler);
    PipelineLogModel rawLog(log, LogViewText::kShownEntries);
    PipelineLogModel timeline(log, TimelineText::kShownEntries);
    const QString stats = QStringLiteral("audio.buf/0.5s=6 mic=0.21 vad=started cam.frames/0.5s=0 gaze=noFace "
                                         "face_age=never transcript.len=9 phase=listening stt=live");
    for (qsizetype i = 0; i < log.maxEntries(); ++i)
        log.record(QStringLiteral("stats"), stats);
    for (auto _ : state)
        log.record(QStringLiteral("stats"), stats);
    benchmark::DoNotOptimize(timeline.rowCount());
}
BENCHMARK(BM_LogEntryIntoFullLogWithViewModels)->Unit(benchmark::kMicrosecond);

}  // namespace
