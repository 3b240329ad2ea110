#pragma once

#include <QString>

// Plays short named event sounds of the desktop's sound theme. Playing never blocks the
// caller; a sound that cannot be played is logged and otherwise ignored.
class EventSoundPlayer {
public:
    virtual ~EventSoundPlayer() = default;

    // Each call starts a playback of its own; playbacks of one sound may overlap.
    virtual void play(const QString& eventID) = 0;
};
