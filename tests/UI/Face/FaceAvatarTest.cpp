#include "UI/Face/FaceAvatar.h"

#include "Common/FakeScheduler.h"
#include "Pipeline/MicLevelMonitor.h"

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

}  // namespace
