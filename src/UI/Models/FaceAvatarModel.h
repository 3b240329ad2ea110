#pragma once

#include "Persistence/AvatarGender.h"
#include "Persistence/AvatarStyle.h"
#include "Persistence/ConversationPhase.h"
#include "UI/Models/FaceShape.h"
#include "UI/Models/IdleMood.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// The face avatar as a pure function: from what it shows at one moment to a frame laid out
// in an area, with every size and colour worked out for the painter. FaceTransition eases
// from one frame to another.
class FaceAvatarModel {
public:
    struct State {
        ConversationPhase phase = ConversationPhase::idle;
        AvatarGender gender = AvatarGender::female;
        AvatarStyle style = AvatarStyle::female;
        bool hasPicture = false;  // the custom picture was found and decodes
        IdleMood idleMood = IdleMood::sleeping;
        QString idleCaption;
        double level = 0.0;  // microphone
        bool blinkOpen = true;  // this and the next two from the animation
        double speakingPhase = 0.0;
        double bob = 0.0;
        bool dark = false;

        bool operator==(const State&) const = default;
    };

    struct Frame {
        enum class Body { generated, animal, picture };
        // A blurred disc of the phase colour: the halo behind the face, the glow under a speaking
        // picture.
        struct Glow {
            QColor color;
            double opacity;
        };
        struct Ring {
            double width;
            double opacity;
            QColor color;
        };
        struct Bubble {
            struct Mood {
                QString emoji;
                QString caption;  // empty: the emoji alone

                bool operator==(const Mood&) const = default;
            };
            Mood mood;
            double opacity = 1.0;  // of the whole bubble, while it comes or goes with the phase
            // While a new mood comes in: the one before, fading out as this one fades in by
            // `arrival` (0…1); the box goes from the old one's width to this one's.
            std::optional<Mood> leaving;
            double arrival = 1.0;
        };

        QRectF area;
        double size = 0.0;  // S: the smaller side of the area
        double bobOffset = 0.0;  // the whole picture moves down by this
        QColor phaseColor;  // of the halo, the glow and the ring
        double haloOpacity = 0.0;
        // While the phase changes: the halos of the phases before, fading out under this one.
        QList<Glow> leavingHalos;
        QColor material;
        QColor text;
        Body body = Body::generated;
        QList<FaceShape> faceLayers;  // Body::generated
        QString emoji;  // Body::animal
        double emojiScale = 1.0;
        double pictureScale = 1.0;  // Body::picture
        std::optional<Glow> glow;  // Body::picture while speaking
        std::optional<Ring> ring;  // listening, not on the drawn face
        std::optional<Bubble> bubble;  // idle
    };

    static Frame frame(const State& state, const QRectF& area);

    // The area to lay the face out in, within `space`, so that it ends `clearBelow` pixels
    // above the space's bottom edge (where the level bar lies): the whole space when the face
    // already does, else as much of its top as keeps the face clear.
    static QRectF areaClearOf(const QRectF& space, double clearBelow);

    static Frame::Body body(AvatarStyle style, bool hasPicture);
    // How far the bob moves the picture down in an area whose smaller side is `size`.
    static double bobOffset(double bob, double size) { return bob * size * 0.012; }
    // The animal face of a style, empty for the others.
    static QString animalEmoji(AvatarStyle style);
    static double haloOpacity(ConversationPhase phase, double level);
    // How far the speaking picture swells: 0 to 0.04, 0 when not speaking.
    static double pulse(const State& state);
};
