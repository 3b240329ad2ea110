#include "UI/Models/TalkButtons.h"

#include "UI/Models/ThemePalette.h"

namespace TalkButtons {

Look look(Kind kind, bool cameraGaze, ConversationPhase phase, bool dark)
{
    using ThemePalette::Named;
    using ThemePalette::named;
    using ThemePalette::withAlpha;
    const QColor gray = named(Named::gray, dark);
    Look look;
    switch (kind) {
    case Kind::camera:
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
    case Kind::fire:
        look.active = phase == ConversationPhase::listening || phase == ConversationPhase::idle;
        look.symbol = QStringLiteral("flame.fill");
        look.captionKey = QStringLiteral("btn.fire");
        look.hint = QStringLiteral("Ctrl+F");
        look.help = look.active ? QStringLiteral("지금 강제로 응답 받기 (Ctrl+F)")
                                : QStringLiteral("Fire 는 비서가 듣는 중일 때만");
        look.background = withAlpha(named(Named::orange, dark), 0.85);
        break;
    case Kind::stopSpeech:
        look.active = phase == ConversationPhase::thinking || phase == ConversationPhase::speaking;
        look.symbol = QStringLiteral("speaker.slash.fill");
        look.captionKey = QStringLiteral("btn.stop_tts");
        look.hint = QStringLiteral("Ctrl+.");
        look.help = look.active ? QStringLiteral("Cancel response and return to listening (Ctrl+.)")
                                : QStringLiteral("Stop TTS available while assistant is responding");
        look.background = withAlpha(named(Named::purple, dark), 0.85);
        break;
    }
    look.enabled = look.active;
    if (look.active) {
        look.foreground = Qt::white;
    } else {
        look.background = withAlpha(gray, 0.18);
        look.foreground = gray;
    }
    return look;
}

}  // namespace TalkButtons
