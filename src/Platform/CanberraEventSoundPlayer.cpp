#include "Platform/CanberraEventSoundPlayer.h"

#include <QLoggingCategory>

#include <canberra.h>

Q_LOGGING_CATEGORY(lcSounds, "app.parlivox.sounds")

CanberraEventSoundPlayer::CanberraEventSoundPlayer() : m_worker(QStringLiteral("app.parlivox.sounds"))
{
}

CanberraEventSoundPlayer::~CanberraEventSoundPlayer()
{
    m_worker.runAndWait([this] {
        if (m_context)
            ca_context_destroy(m_context);
        m_context = nullptr;
    });
}

void CanberraEventSoundPlayer::play(const QString& eventID)
{
    m_worker.post([this, id = eventID.toUtf8()] { playNow(id); });
}

void CanberraEventSoundPlayer::playNow(const QByteArray& eventID)
{
    if (!m_context) {
        int result = ca_context_create(&m_context);
        if (result == CA_SUCCESS) {
            ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Parlivox", CA_PROP_APPLICATION_ID,
                                    "app.parlivox", nullptr);
            result = ca_context_open(m_context);
        }
        if (result != CA_SUCCESS) {
            qCInfo(lcSounds, "no sound output for event sounds: %s", ca_strerror(result));
            if (m_context)
                ca_context_destroy(m_context);
            m_context = nullptr;
            return;  // tried again with the next sound: a sound server may come up later
        }
    }
    const int result = ca_context_play(m_context, 0, CA_PROP_EVENT_ID, eventID.constData(), nullptr);
    if (result != CA_SUCCESS)
        qCInfo(lcSounds, "event sound \"%s\" not played: %s", eventID.constData(), ca_strerror(result));
}
