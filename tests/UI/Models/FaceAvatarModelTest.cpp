// The face avatar's frame as tables: size and placement, which face, halo, pulse, ring and
// bubble by phase, and the colour mix.
#include "UI/Models/FaceAvatarModel.h"

#include "UI/Models/FacePalette.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
using Phase = ConversationPhase;
using Body = FaceAvatarModel::Frame::Body;
}  // namespace

TEST(FaceAvatarModel, ChoosesTheFaceByStyleWithTheDrawnFaceAsFallback)
{
    struct Case {
        AvatarStyle style;
        bool hasPicture;
        Body body;
        const char* emoji;
    };
    const Case cases[] = {
        {AvatarStyle::female, true, Body::generated, ""}, {AvatarStyle::male, false, Body::generated, ""},
        {AvatarStyle::custom, true, Body::picture, ""},   {AvatarStyle::custom, false, Body::generated, ""},
        {AvatarStyle::cat, false, Body::animal, "🐱"},     {AvatarStyle::dog, true, Body::animal, "🐶"},
        {AvatarStyle::hamster, false, Body::animal, "🐹"}, {AvatarStyle::rabbit, false, Body::animal, "🐰"},
        {AvatarStyle::bear, false, Body::animal, "🐻"},
    };
    for (const Case& c : cases) {
        FaceAvatarModel::State state;
        state.style = c.style;
        state.hasPicture = c.hasPicture;
        const auto frame = FaceAvatarModel::frame(state, QRectF(0, 0, 300, 200));
        EXPECT_EQ(frame.size, 200);
        EXPECT_EQ(frame.body, c.body) << rawValue(c.style).toStdString();
        EXPECT_EQ(frame.emoji, QString::fromUtf8(c.emoji));
        EXPECT_EQ(frame.faceLayers.isEmpty(), c.body != Body::generated);
    }
}

TEST(FaceAvatarModel, HaloPulseRingAndBubbleFollowPhaseLevelAndTalking)
{
    struct Case {
        Phase phase;
        double level;
        double speakingPhase;
        double halo;
        double pictureScale;  // without the bob
        std::optional<double> glow;
        double emojiScale;
        std::optional<double> ring;  // width
        bool bubble;
    };
    const Case cases[] = {
        {Phase::idle, 0.9, 0.25, 0.25, 1.0, {}, 1.0, {}, true},
        {Phase::listening, 0, 0, 0.55, 1.0, {}, 1.0, 3.0, false},
        {Phase::listening, 0.5, 0, 0.85, 1.0, {}, 1.0, 6.0, false},
        {Phase::listening, 1, 0, 0.95, 1.0, {}, 1.0, 9.0, false},
        {Phase::listening, 2.0 / 3, 0, 0.95, 1.0, {}, 1.0, 7.0, false},
        {Phase::listening, -2, 0, 0.55, 1.0, {}, 1.0, 3.0, false},  // a level outside 0…1 is clamped
        {Phase::listening, 5, 0, 0.95, 1.0, {}, 1.0, 9.0, false},
        {Phase::thinking, 1, 0.25, 0.55, 1.0, {}, 1.0, {}, false},
        {Phase::speaking, 1, 0.25, 0.75, 1.04, 0.71, 1.06, {}, false},
        {Phase::speaking, 1, 0.75, 0.75, 1.0, 0.55, 1.0, {}, false},
        {Phase::interrupted, 1, 0.25, 0.7, 1.0, {}, 1.0, {}, false},
        {Phase::error, 1, 0.25, 0.6, 1.0, {}, 1.0, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.phase).toStdString() + " " + std::to_string(c.level));
        FaceAvatarModel::State state;
        state.phase = c.phase;
        state.level = c.level;
        state.speakingPhase = c.speakingPhase;
        state.style = AvatarStyle::custom;
        state.hasPicture = true;
        state.idleCaption = "coffee break";
        const auto picture = FaceAvatarModel::frame(state, QRectF(0, 0, 200, 200));
        EXPECT_NEAR(picture.haloOpacity, c.halo, 1e-9);
        EXPECT_NEAR(picture.pictureScale, c.pictureScale, 1e-9);
        EXPECT_EQ(picture.glow.has_value(), c.glow.has_value());
        EXPECT_NEAR(picture.glow ? picture.glow->opacity : 0, c.glow.value_or(0), 1e-9);
        EXPECT_EQ(picture.ring.has_value(), c.ring.has_value());
        EXPECT_NEAR(picture.ring ? picture.ring->width : 0, c.ring.value_or(0), 1e-9);
        EXPECT_EQ(picture.bubble.has_value(), c.bubble);
        state.style = AvatarStyle::bear;
        const auto animal = FaceAvatarModel::frame(state, QRectF(0, 0, 200, 200));
        EXPECT_NEAR(animal.emojiScale, c.emojiScale, 1e-9);
        EXPECT_EQ(animal.ring ? animal.ring->opacity : 0, c.ring ? 1.0 : 0.0);  // fully opaque on the animal
        state.style = AvatarStyle::male;
        EXPECT_FALSE(FaceAvatarModel::frame(state, QRectF(0, 0, 200, 200)).ring);  // never on the drawn face
    }
}

TEST(FacePalette, BlendsOpaquelyWithAClampedFraction)
{
    const QColor base = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f);
    struct Case {
        QColor base;
        double fraction;
        QColor expected;
    };
    const Case cases[] = {
        {base, 0.0, QColor::fromRgbF(0.2f, 0.4f, 0.6f)},
        {base, 0.5, QColor::fromRgbF(0.6f, 0.7f, 0.8f)},
        {base, 2.0, Qt::white},
        {base, -1.0, QColor::fromRgbF(0.2f, 0.4f, 0.6f)},
        {base, std::nan(""), Qt::white},
        {QColor(), 0.5, QColor::fromRgbF(0.5f, 0.5f, 0.5f)},
    };
    for (const Case& c : cases) {
        const QColor blended = FacePalette::blended(c.base, Qt::white, c.fraction);
        EXPECT_NEAR(blended.redF(), c.expected.redF(), 1e-3) << c.fraction;
        EXPECT_NEAR(blended.greenF(), c.expected.greenF(), 1e-3) << c.fraction;
        EXPECT_NEAR(blended.blueF(), c.expected.blueF(), 1e-3) << c.fraction;
        EXPECT_EQ(blended.alphaF(), 1.0f);
    }
    EXPECT_EQ(FacePalette::blended(Qt::black, QColor(), 1.0).rgb(), QColor(Qt::white).rgb());
}

// However short the card, the face (the drawn face's hair and chin, an animal's disc) ends
// above the level bar along its bottom; a card with room keeps its whole area, and one that
// shrinks the face shrinks it no further than it must.
TEST(FaceAvatarModel, TheFaceEndsAboveTheBarAlongTheBottomShrinkingNoMoreThanItMust)
{
    struct Case {
        QRectF space;
        bool whole;
    };
    const Case cases[] = {
        {QRectF(1, 1, 426, 198), false},  // the opening window's card
        {QRectF(1, 1, 298, 62), false},  // the smallest window's
        {QRectF(1, 1, 298, 140), false}, {QRectF(0, 0, 150, 160), false},
        {QRectF(0, 0, 300, 400), true},  {QRectF(0, 0, 120, 150), true},
    };
    constexpr double clear = 16;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.space.width() << "x" << c.space.height());
        const QRectF area = FaceAvatarModel::areaClearOf(c.space, clear);
        EXPECT_EQ(area.topLeft(), c.space.topLeft());
        EXPECT_EQ(area.width(), c.space.width());
        EXPECT_EQ(area == c.space, c.whole);
        const double limit = c.space.bottom() - clear;
        for (const AvatarStyle style : {AvatarStyle::female, AvatarStyle::male, AvatarStyle::cat}) {
            FaceAvatarModel::State state;
            state.style = style;
            state.bob = 1.0;
            const auto frame = FaceAvatarModel::frame(state, area);
            double lowest = area.center().y() + frame.bobOffset + 0.46 * frame.size;  // the animal's disc
            if (frame.body == Body::generated) {
                QRectF drawn;
                for (const FaceShape& shape : frame.faceLayers)
                    drawn |= shape.transform.mapRect(shape.kind == FaceShape::Kind::path ? shape.path.boundingRect()
                                                                                         : shape.frame);
                lowest = area.center().y() + frame.bobOffset + drawn.bottom();
            }
            EXPECT_LE(lowest, limit + 1e-6) << rawValue(style).toStdString();
            if (!c.whole && style == AvatarStyle::cat) {
                EXPECT_GE(lowest, limit - 2) << "shrunk no further than it must";
            }
        }
    }
}
