#include "UI/Models/TalkButtons.h"

#include "UI/Models/ThemePalette.h"

namespace TalkButtons {

namespace {
// Fire and stop: filled in their colour while active, grey and disabled otherwise.
struct Action {
    const char* symbol;
    const char* captionKey;
    const char* hint;
    const char* helpActive;
    const char* helpInactive;
    ThemePalette::Named colour;
};

const Action fire{"flame.fill",
                  "btn.fire",
                  "Ctrl+F",
                  "지금 강제로 응답 받기 (Ctrl+F)",
                  "Fire 는 비서가 듣는 중일 때만",
                  ThemePalette::Named::orange};
const Action stopSpeech{"speaker.slash.fill",
                        "btn.stop_tts",
                        "Ctrl+.",
                        "Cancel response and return to listening (Ctrl+.)",
                        "Stop TTS available while assistant is responding",
                        ThemePalette::Named::purple};
}  // namespace

Look look(Kind kind, bool cameraGaze, ConversationPhase phase, bool dark)
{
    using ThemePalette::Named;
    using ThemePalette::named;
    using ThemePalette::withAlpha;
    const QColor gray = named(Named::gray, dark);
    Look look;
    if (kind == Kind::camera) {
        look.active = cameraGaze;
        look.symbol = cameraGaze ? QStringLiteral("video.fill") : QStringLiteral("video.slash.fill");
        look.captionKey = cameraGaze ? QStringLiteral("btn.camera_on") : QStringLiteral("btn.camera_off");
        look.hint = QStringLiteral("Ctrl+K");
        look.help = cameraGaze ? QStringLiteral("Camera gaze ON (Ctrl+K) — eye contact accelerates responses")
                               : QStringLiteral("Camera gaze OFF (Ctrl+K)");
        look.enabled = true;
        look.background = cameraGaze ? withAlpha(named(Named::green, dark), 0.22) : withAlpha(gray, 0.2);
        look.foreground = cameraGaze ? named(Named::green, dark) : gray;
        return look;
    }
    const bool firing = kind == Kind::fire;
    const Action& action = firing ? fire : stopSpeech;
    look.active = firing ? phase == ConversationPhase::listening || phase == ConversationPhase::idle
                         : phase == ConversationPhase::thinking || phase == ConversationPhase::speaking;
    look.enabled = look.active;
    look.symbol = QLatin1String(action.symbol);
    look.captionKey = QLatin1String(action.captionKey);
    look.hint = QLatin1String(action.hint);
    look.help = QString::fromUtf8(look.active ? action.helpActive : action.helpInactive);
    look.background = look.active ? withAlpha(named(action.colour, dark), 0.85) : withAlpha(gray, 0.18);
    look.foreground = look.active ? QColor(Qt::white) : gray;
    return look;
}

}  // namespace TalkButtons
