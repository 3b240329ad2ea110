#pragma once

#include "Speech/EventSoundPlayer.h"
#include "Support/SerialWorker.h"

struct ca_context;

// Event sounds through libcanberra and the freedesktop sound theme. Talking to the sound
// server runs on a worker thread, so a slow or missing server never holds up the caller.
class CanberraEventSoundPlayer final : public EventSoundPlayer {
public:
    CanberraEventSoundPlayer();
    ~CanberraEventSoundPlayer() override;
    CanberraEventSoundPlayer(const CanberraEventSoundPlayer&) = delete;
    CanberraEventSoundPlayer& operator=(const CanberraEventSoundPlayer&) = delete;

    void play(const QString& eventID) override;

private:
    void playNow(const QByteArray& eventID);
    bool openContext();
    void closeContext();

    ca_context* m_context = nullptr;  // only touched on the worker
    bool m_toldUnavailable = false;  // likewise: a missing library is logged once
    SerialWorker m_worker;
};
