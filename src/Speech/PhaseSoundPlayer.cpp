#include "Speech/PhaseSoundPlayer.h"

#include "Speech/EventSoundPlayer.h"

void PhaseSoundPlayer::play(ConversationPhase phase)
{
    if (!m_enabled)
        return;
    const QString name = soundName(phase);
    if (!name.isEmpty())
        m_sounds.play(name);
}

QString PhaseSoundPlayer::soundName(ConversationPhase phase)
{
    // Short, distinct sounds of the freedesktop theme: a tick, a pop, a warning, an error.
    switch (phase) {
    case ConversationPhase::listening:
        return QStringLiteral("audio-volume-change");
    case ConversationPhase::thinking:
        return QStringLiteral("message");
    case ConversationPhase::interrupted:
        return QStringLiteral("dialog-warning");
    case ConversationPhase::error:
        return QStringLiteral("dialog-error");
    case ConversationPhase::idle:
    case ConversationPhase::speaking:
        break;
    }
    return {};
}
