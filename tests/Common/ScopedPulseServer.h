#pragma once

#include <QByteArray>
#include <QtGlobal>

// Points this process's PulseAudio clients at another server while it lives.
class ScopedPulseServer {
public:
    explicit ScopedPulseServer(const QByteArray& address) : m_previous(qgetenv("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", address);
    }
    ~ScopedPulseServer()
    {
        if (m_previous.isNull())
            qunsetenv("PULSE_SERVER");
        else
            qputenv("PULSE_SERVER", m_previous);
    }
    ScopedPulseServer(const ScopedPulseServer&) = delete;
    ScopedPulseServer& operator=(const ScopedPulseServer&) = delete;

private:
    QByteArray m_previous;
};
