#pragma once

#include "Persistence/ConversationPhase.h"

#include <QColor>
#include <QString>

// The three buttons of the user's tile: camera gaze on or off, fire (end the turn now) and
// stop speech. Each is active in some states; an inactive fire or stop button is disabled,
// the camera button never is.
namespace TalkButtons {

enum class Kind { camera, fire, stopSpeech };

struct Look {
    QString symbol;
    QString captionKey;
    QString hint;  // the shortcut as shown
    QString helpKey;
    bool active = false;
    bool enabled = false;
    QColor background;
    QColor foreground;

    friend bool operator==(const Look&, const Look&) = default;
};

// Whether the button acts in the phase; the camera button always does.
bool isEnabled(Kind kind, ConversationPhase phase);

Look look(Kind kind, bool cameraGaze, ConversationPhase phase, bool dark);

}  // namespace TalkButtons
