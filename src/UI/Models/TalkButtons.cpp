#include "UI/Models/TalkButtons.h"

#include "UI/Models/Contrast.h"
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

const Action fire{"flame.fill", "btn.fire", "Ctrl+F", "help.fire", "help.fire_inactive", ThemePalette::Named::orange};
const Action stopSpeech{"speaker.slash.fill", "btn.stop_tts",           "Ctrl+.",
                        "help.stop_tts",      "help.stop_tts_inactive", ThemePalette::Named::purple};
}  // namespace

bool isEnabled(Kind kind, ConversationPhase phase)
{
    switch (kind) {
    case Kind::camera:
        return true;
    case Kind::fire:
        return phase == ConversationPhase::listening || phase == ConversationPhase::idle;
    case Kind::stopSpeech:
        return phase == ConversationPhase::thinking || phase == ConversationPhase::speaking;
    }
    return false;
}

Look look(Kind kind, bool cameraGaze, ConversationPhase phase, bool dark)
{
    using ThemePalette::color;
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
        look.helpKey = cameraGaze ? QStringLiteral("help.camera_on") : QStringLiteral("help.camera_off");
        look.enabled = true;
        look.background = cameraGaze ? withAlpha(named(Named::green, dark), 0.22) : withAlpha(gray, 0.2);
        // Drawn on the tile, which stands on the canvas.
        const QColor under = Contrast::over(look.background, color(ThemePalette::Token::canvas, dark));
        look.foreground = Contrast::readable(cameraGaze ? named(Named::green, dark) : gray, under);
        return look;
    }
    const bool firing = kind == Kind::fire;
    const Action& action = firing ? fire : stopSpeech;
    look.active = isEnabled(kind, phase);
    look.enabled = look.active;
    look.symbol = QLatin1String(action.symbol);
    look.captionKey = QLatin1String(action.captionKey);
    look.hint = QLatin1String(action.hint);
    look.helpKey = QLatin1String(look.active ? action.helpActive : action.helpInactive);
    look.background = look.active ? ThemePalette::filled(action.colour, dark) : withAlpha(gray, 0.18);
    look.foreground = look.active ? QColor(Qt::white) : gray;
    return look;
}

}  // namespace TalkButtons
