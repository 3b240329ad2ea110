// The cost of one face frame at the window's size, while speaking (the face changes 16.7
// times a second then): with the blurred halo already made, as in every frame but the first
// after a resize, and from a fresh painter, which makes it first.
#include "UI/Face/Painting/FacePainter.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const QSize windowSize(800, 720);

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
    QImage image(windowSize, QImage::Format_ARGB32_Premultiplied);
    FacePainter painter;
    auto face = speakingFace();
    for (auto _ : state)
        paintFrame(painter, image, face);
}
BENCHMARK(BM_FaceFrame)->Unit(benchmark::kMillisecond);

void BM_FaceFrameFirstAfterResize(benchmark::State& state)
{
    QImage image(windowSize, QImage::Format_ARGB32_Premultiplied);
    auto face = speakingFace();
    for (auto _ : state) {
        FacePainter painter;
        paintFrame(painter, image, face);
    }
}
BENCHMARK(BM_FaceFrameFirstAfterResize)->Unit(benchmark::kMillisecond);

}  // namespace
