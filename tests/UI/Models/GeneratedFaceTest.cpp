// The drawn face's decisions as tables: mouth, eyes and brows by phase, and the hair outlines.
#include "UI/Models/GeneratedFace.h"

#include "UI/Models/FacePalette.h"
#include "UI/Models/HairShapes.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;
constexpr double S = 100.0;
}  // namespace

TEST(GeneratedFace, MouthFollowsPhaseLevelAndTalkingCycle)
{
    struct Case {
        Phase phase;
        double level;
        double speakingPhase;
        double width, height, offset;  // fractions of S
    };
    const Case cases[] = {
        {Phase::idle, 0.7, 0.25, 0.18, 0.012, 0},
        {Phase::listening, 0, 0, 0.18, 0.012, 0.012},
        {Phase::listening, 0.5, 0, 0.205, 0.037, 0.012},
        {Phase::listening, -1, 0, 0.18, 0.012, 0.012},  // the level is clamped
        {Phase::listening, 2, 0, 0.23, 0.062, 0.012},
        {Phase::thinking, 1, 0, 0.10, 0.014, -0.005},
        {Phase::speaking, 1, 0.25, 0.26, 0.09, 0},  // widest
        {Phase::speaking, 1, 0.75, 0.20, 0.038, 0},  // narrowest
        {Phase::speaking, 0, 0.0, 0.23, 0.064, 0},
        {Phase::interrupted, 1, 0, 0.16, 0.06, 0},
        {Phase::error, 1, 0, 0.20, 0.012, -0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.phase).toStdString() + " " + std::to_string(c.level) + " " +
                     std::to_string(c.speakingPhase));
        const auto mouth =
            GeneratedFace::mouthShape({c.phase, AvatarGender::female, true, c.speakingPhase, c.level}, S);
        EXPECT_NEAR(mouth.width, c.width * S, 1e-9);
        EXPECT_NEAR(mouth.height, c.height * S, 1e-9);
        EXPECT_NEAR(mouth.offset, c.offset * S, 1e-9);
    }
}

TEST(GeneratedFace, EyesBrowsAndHairFollowPhaseBlinkAndGender)
{
    struct Case {
        Phase phase;
        bool blinkOpen;
        double eye;  // fraction of S
        bool iris;
        double tilt;
    };
    const Case cases[] = {
        {Phase::idle, true, 0.015, false, 0},        {Phase::idle, false, 0.015, false, 0},
        {Phase::listening, true, 0.06, true, 0},     {Phase::listening, false, 0.0108, false, 0},
        {Phase::thinking, true, 0.06, true, -8},     {Phase::speaking, false, 0.0108, false, 0},
        {Phase::interrupted, false, 0.084, true, 0}, {Phase::error, true, 0.072, true, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.phase).toStdString() + (c.blinkOpen ? " open" : " closed"));
        const GeneratedFace::Look look{c.phase, AvatarGender::male, c.blinkOpen, 0, 0};
        EXPECT_NEAR(GeneratedFace::eyeHeight(look, S), c.eye * S, 1e-9);
        EXPECT_EQ(GeneratedFace::eyeHeight(look, S) > GeneratedFace::irisThreshold(S), c.iris);
        EXPECT_EQ(GeneratedFace::browTilt(c.phase), c.tilt);
    }
    // Hair and lips follow the gender.
    for (const AvatarGender gender : allCases<AvatarGender>()) {
        const auto layers = GeneratedFace::layers({Phase::idle, gender, true, 0, 0}, S);
        EXPECT_EQ(layers.front().fill.color(), FacePalette::hair(gender));
        EXPECT_EQ(layers.back().fill.color().rgb(), FacePalette::lip(gender).rgb());
    }
}

TEST(HairShapes, OutlinesStartAndSpanWhereTheirRectangleSays)
{
    struct Case {
        const char* name;
        QPainterPath (*path)(const QRectF&);
        QPointF start;
        QRectF extent;  // of the curve itself, in fractions of the rectangle
    };
    const Case cases[] = {
        {"short", HairShortShape::path, {8, 100}, QRectF(QPointF(0.069, 0.175), QPointF(0.931, 1.0))},
        {"bangs", HairBangsShape::path, {4, 85}, QRectF(QPointF(0.035, 0.1375), QPointF(0.965, 1.075))},
        {"long", HairLongShape::path, {2, 55}, QRectF(QPointF(0.016, 0.10), QPointF(0.984, 0.985))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QPainterPath path = c.path(QRectF(0, 0, 100, 100));
        EXPECT_EQ(path.elementAt(0), c.start);
        EXPECT_EQ(path.currentPosition(), c.start);  // closed
        const QRectF bounds = path.boundingRect();
        EXPECT_NEAR(bounds.left(), c.extent.left() * 100, 0.1);
        EXPECT_NEAR(bounds.right(), c.extent.right() * 100, 0.1);
        EXPECT_NEAR(bounds.top(), c.extent.top() * 100, 0.1);
        EXPECT_NEAR(bounds.bottom(), c.extent.bottom() * 100, 0.1);
        EXPECT_TRUE(c.path(QRectF(5, 5, 0, 0)).boundingRect().isEmpty());
    }
}
