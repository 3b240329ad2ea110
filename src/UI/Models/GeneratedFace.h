#pragma once

#include "Persistence/AvatarGender.h"
#include "Persistence/ConversationPhase.h"
#include "UI/Models/FaceShape.h"

#include <QList>

// The drawn human face: its eyes, brows and mouth follow the phase, the blink, the talking
// cycle and the microphone level; its hair, brows and lips follow the gender. Every length
// is a fraction of the face size S.
class GeneratedFace {
public:
    struct Look {
        ConversationPhase phase = ConversationPhase::idle;
        AvatarGender gender = AvatarGender::female;
        bool blinkOpen = true;
        double speakingPhase = 0.0;  // [0, 1)
        double level = 0.0;  // the microphone level, clamped to [0, 1] here
    };

    struct MouthShape {
        double width = 0.0;
        double height = 0.0;
        double offset = 0.0;  // downward from the mouth's rest position
    };

    static MouthShape mouthShape(const Look& look, double size);
    static double eyeHeight(const Look& look, double size);
    // The iris shows only in an eye open wider than this.
    static double irisThreshold(double size) { return 0.45 * 0.06 * size; }
    // Clockwise turn of the left brow in degrees (the right one turns the other way).
    static double browTilt(ConversationPhase phase);

    // The twelve layers, back to front; each eye's iris and catch-light are layers of their
    // own, always there and hidden (opacity 0) where the eye is too narrow.
    static QList<FaceShape> layers(const Look& look, double size);
};
