#include "UI/Models/FaceAvatarModel.h"

#include "UI/Models/FaceAnimation.h"
#include "UI/Models/FacePalette.h"
#include "UI/Models/GeneratedFace.h"
#include "UI/Models/MicLevelMeter.h"
#include "UI/Models/ThemePalette.h"

#include <algorithm>

FaceAvatarModel::Frame FaceAvatarModel::frame(const State& state, const QRectF& area)
{
    using Phase = ConversationPhase;
    Frame frame;
    frame.area = area;
    frame.size = std::min(area.width(), area.height());
    const double size = frame.size;
    frame.bobOffset = bobOffset(state.bob, size);
    frame.phaseColor = ThemePalette::phaseColor(state.phase, state.dark);
    const double level = MicLevelMeter::clamped(state.level);
    frame.haloOpacity = haloOpacity(state.phase, level);
    frame.material = FacePalette::material(state.dark);
    frame.text = FacePalette::primaryText(state.dark);
    frame.body = body(state.style, state.hasPicture);
    const bool speaking = state.phase == Phase::speaking;
    const double ringWidth = 3 + 6 * level;
    switch (frame.body) {
    case Frame::Body::generated:
        frame.faceLayers =
            GeneratedFace::layers({state.phase, state.gender, state.blinkOpen, state.speakingPhase, level}, size);
        break;
    case Frame::Body::animal:
        frame.emoji = animalEmoji(state.style);
        frame.emojiScale = speaking ? 1 + 0.06 * FaceAnimation::talkingOpenness(state.speakingPhase) : 1.0;
        if (state.phase == Phase::listening)
            frame.ring = Frame::Ring{ringWidth, 1.0, frame.phaseColor};
        break;
    case Frame::Body::picture:
        frame.pictureScale = 1 + pulse(state) + state.bob * 0.012;
        if (speaking)
            frame.glow = Frame::Glow{frame.phaseColor, 0.55 + 4 * pulse(state)};
        if (state.phase == Phase::listening)
            frame.ring = Frame::Ring{ringWidth, 0.55, frame.phaseColor};
        break;
    }
    if (state.phase == Phase::idle)
        frame.bubble.emplace().mood = {emoji(state.idleMood), state.idleCaption};
    return frame;
}

QRectF FaceAvatarModel::areaClearOf(const QRectF& space, double clearBelow)
{
    // How far the face reaches below the area's centre, in sizes S: the animal's disc, bobbing.
    const double reach = 0.46 + bobOffset(1.0, 1.0);
    const double room = space.height() - clearBelow;
    // While the area is no wider than high, S is its height; else its width.
    double height = room / (0.5 + reach);
    if (height > space.width())
        height = 2 * (room - reach * space.width());
    return {space.topLeft(), QSizeF(space.width(), std::clamp(height, 0.0, space.height()))};
}

FaceAvatarModel::Frame::Body FaceAvatarModel::body(AvatarStyle style, bool hasPicture)
{
    if (style == AvatarStyle::custom)
        return hasPicture ? Frame::Body::picture : Frame::Body::generated;
    return animalEmoji(style).isEmpty() ? Frame::Body::generated : Frame::Body::animal;
}

QString FaceAvatarModel::animalEmoji(AvatarStyle style)
{
    switch (style) {
    case AvatarStyle::cat:
        return QStringLiteral("\U0001F431");
    case AvatarStyle::dog:
        return QStringLiteral("\U0001F436");
    case AvatarStyle::hamster:
        return QStringLiteral("\U0001F439");
    case AvatarStyle::rabbit:
        return QStringLiteral("\U0001F430");
    case AvatarStyle::bear:
        return QStringLiteral("\U0001F43B");
    default:
        return {};
    }
}

double FaceAvatarModel::haloOpacity(ConversationPhase phase, double level)
{
    switch (phase) {
    case ConversationPhase::idle:
        return 0.25;
    case ConversationPhase::listening:
        return 0.55 + std::min(level * 0.6, 0.4);
    case ConversationPhase::thinking:
        return 0.55;
    case ConversationPhase::speaking:
        return 0.75;
    case ConversationPhase::interrupted:
        return 0.7;
    case ConversationPhase::error:
        return 0.6;
    }
    return 0.0;
}

double FaceAvatarModel::pulse(const State& state)
{
    return state.phase == ConversationPhase::speaking ? 0.04 * FaceAnimation::talkingOpenness(state.speakingPhase)
                                                      : 0.0;
}
