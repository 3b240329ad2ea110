#include "UI/Face/FaceAvatar.h"

#include "Common/FakeScheduler.h"
#include "Pipeline/MicLevelMonitor.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The pictures a listening face shows as its eyes and the level change: a picture kept from
// before must be the one the state calls for, never one of another state. The face is small
// enough that the bob never moves it, so pictures compare whole.
TEST(FaceAvatar, APictureKeptFromBeforeShowsOnlyTheStateItWasPaintedFor)
{
    FakeScheduler scheduler;
    MicLevelMonitor level;
    FaceAvatar face(level, scheduler);
    face.resize(40, 40);
    face.setPhase(ConversationPhase::listening);
    face.show();
    const auto blinkTo = [&](bool open) {
        for (int step = 0; step < 600 && face.animation().blinkOpen() != open; ++step)
            scheduler.advance(10ms);
        ASSERT_EQ(face.animation().blinkOpen(), open);
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        int sameAs;  // the step whose picture this one shows again, or -1 for one not shown before
    };
    const std::vector<Step> steps = {
        {"open eyes", [] {}, -1},
        {"closed eyes", [&] { blinkTo(false); }, -1},
        {"open again", [&] { blinkTo(true); }, 0},
        {"louder", [&] { level.setLevel(0.8); }, -1},
        {"quiet again", [&] { level.setLevel(0.0); }, 0},
        {"closed with the level quiet", [&] { blinkTo(false); }, 1},
        {"open while loud", [&] { level.setLevel(0.8), blinkTo(true); }, 3},
        {"another size", [&] { face.resize(44, 44); }, -1},
    };
    std::vector<QImage> shown;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        shown.push_back(face.grab().toImage());
        if (step.sameAs >= 0) {
            EXPECT_EQ(shown.back(), shown[std::size_t(step.sameAs)]) << "not as " << steps[std::size_t(step.sameAs)].name;
            continue;
        }
        for (std::size_t earlier = 0; earlier + 1 < shown.size(); ++earlier)
            EXPECT_NE(shown.back(), shown[earlier]) << "as " << steps[earlier].name;
    }
}

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A new phase or mood eases in while the face shows, painted only meanwhile: once settled, the
// face shows what a face made in that state shows and paints nothing more. A change while
// hidden shows at once. The face is small enough that the bob never moves it.
TEST(FaceAvatar, EasesIntoANewPhaseOrMoodPaintingOnlyWhileItRuns)
{
    FakeScheduler scheduler;
    MicLevelMonitor level;
    const auto settledFace = [&](ConversationPhase phase, IdleMood mood) {
        FaceAvatar face(level, scheduler);
        face.resize(40, 40);
        face.setPhase(phase);
        face.setIdleMood(mood, QStringLiteral("caption"));
        face.show();
        return face.grab().toImage();
    };
    FaceAvatar face(level, scheduler);
    face.resize(40, 40);
    face.setIdleMood(IdleMood::coffee, QStringLiteral("caption"));
    face.show();
    PaintCounter counter;
    face.installEventFilter(&counter);
    const auto run = [&](std::chrono::milliseconds time) {
        for (auto passed = 0ms; passed < time; passed += 8ms) {
            scheduler.advance(8ms);
            QApplication::processEvents();
        }
    };
    const QImage idle = face.grab().toImage();
    EXPECT_EQ(idle, settledFace(ConversationPhase::idle, IdleMood::coffee));

    const struct {
        const char* change;
        std::function<void()> act;
        std::chrono::milliseconds duration;
        ConversationPhase phase;
        IdleMood mood;
    } changes[] = {
        {"phase", [&] { face.setPhase(ConversationPhase::thinking); }, 180ms, ConversationPhase::thinking,
         IdleMood::coffee},
        {"back to idle", [&] { face.setPhase(ConversationPhase::idle); }, 180ms, ConversationPhase::idle,
         IdleMood::coffee},
        {"mood", [&] { face.setIdleMood(IdleMood::yoga, QStringLiteral("caption")); }, 400ms, ConversationPhase::idle,
         IdleMood::yoga},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        const QImage before = face.grab().toImage();
        counter.paints = 0;
        c.act();
        run(c.duration / 2);
        EXPECT_TRUE(face.transition().isRunning());
        const QImage halfway = face.grab().toImage();
        const QImage after = settledFace(c.phase, c.mood);
        EXPECT_NE(halfway, before);
        EXPECT_NE(halfway, after);
        run(c.duration / 2 + 40ms);
        EXPECT_FALSE(face.transition().isRunning());
        EXPECT_GE(counter.paints, int(c.duration / FaceTransition::kFrameInterval) - 2) << "about one per frame";
        EXPECT_EQ(face.grab().toImage(), after);
        counter.paints = 0;
        run(1500ms);
        EXPECT_EQ(counter.paints, 0) << "nothing moves, nothing is painted";
    }

    face.hide();
    face.setPhase(ConversationPhase::error);
    face.show();
    EXPECT_FALSE(face.transition().isRunning());
    EXPECT_EQ(face.grab().toImage(), settledFace(ConversationPhase::error, IdleMood::yoga));
}

}  // namespace
