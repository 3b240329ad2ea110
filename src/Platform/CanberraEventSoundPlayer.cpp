#include "Platform/CanberraEventSoundPlayer.h"

#include "Support/LateLibrary.h"

#include <QLoggingCategory>

#include <utility>

#include <canberra.h>

Q_LOGGING_CATEGORY(lcSounds, "app.parlivox.sounds")

namespace {
// libcanberra's functions, from its library, opened at the first sound on the worker.
struct Canberra {
    decltype(ca_context_create)* create;
    decltype(ca_context_change_props)* changeProps;
    decltype(ca_context_open)* open;
    decltype(ca_context_play)* play;
    decltype(ca_context_destroy)* destroy;
    decltype(ca_strerror)* describe;
    QString error;  // empty when every function was found
};

const Canberra& canberra()
{
    static const Canberra api = [] {
        LateLibrary library(QStringLiteral("canberra"), 0);
        Canberra found{library.function<decltype(ca_context_create)>("ca_context_create"),
                       library.function<decltype(ca_context_change_props)>("ca_context_change_props"),
                       library.function<decltype(ca_context_open)>("ca_context_open"),
                       library.function<decltype(ca_context_play)>("ca_context_play"),
                       library.function<decltype(ca_context_destroy)>("ca_context_destroy"),
                       library.function<decltype(ca_strerror)>("ca_strerror"),
                       library.error()};
        return found;
    }();
    return api;
}
}  // namespace

CanberraEventSoundPlayer::CanberraEventSoundPlayer() : m_worker(QStringLiteral("app.parlivox.sounds"))
{
}

CanberraEventSoundPlayer::~CanberraEventSoundPlayer()
{
    m_worker.runAndWait([this] { closeContext(); });
}

void CanberraEventSoundPlayer::play(const QString& eventID)
{
    m_worker.post([this, id = eventID.toUtf8()] { playNow(id); });
}

void CanberraEventSoundPlayer::playNow(const QByteArray& eventID)
{
    const Canberra& ca = canberra();
    if (!ca.error.isEmpty()) {
        if (!std::exchange(m_toldUnavailable, true))
            qCWarning(lcSounds, "no event sounds: %s", qPrintable(ca.error));
        return;
    }
    if (!m_context && !openContext())
        return;  // tried again with the next sound: a sound server may come up later
    int result = ca.play(m_context, 0, CA_PROP_EVENT_ID, eventID.constData(), nullptr);
    // A context whose sound server went away (a restart, a suspend) stays broken: a fresh one
    // reaches the server that is there now.
    if (result == CA_ERROR_STATE || result == CA_ERROR_DISCONNECTED) {
        closeContext();
        if (!openContext())
            return;
        result = ca.play(m_context, 0, CA_PROP_EVENT_ID, eventID.constData(), nullptr);
    }
    if (result != CA_SUCCESS)
        qCInfo(lcSounds, "event sound \"%s\" not played: %s", eventID.constData(), ca.describe(result));
}

bool CanberraEventSoundPlayer::openContext()
{
    const Canberra& ca = canberra();
    int result = ca.create(&m_context);
    if (result == CA_SUCCESS) {
        ca.changeProps(m_context, CA_PROP_APPLICATION_NAME, "Parlivox", CA_PROP_APPLICATION_ID, "app.parlivox",
                       nullptr);
        result = ca.open(m_context);
    }
    if (result == CA_SUCCESS)
        return true;
    qCInfo(lcSounds, "no sound output for event sounds: %s", ca.describe(result));
    closeContext();
    return false;
}

void CanberraEventSoundPlayer::closeContext()
{
    if (m_context)
        canberra().destroy(m_context);
    m_context = nullptr;
}
