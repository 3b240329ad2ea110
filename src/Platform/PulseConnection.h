#pragma once

#include "Audio/AudioBuffer.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct pa_context;
struct pa_operation;
struct pa_threaded_mainloop;

// One client connection to the PulseAudio server on a libpulse loop thread of its own. The
// queries block the calling thread, which must not be the loop's, until the server answers;
// what the server sends by itself (stream data, events) runs on the loop's thread with the
// loop locked.
class PulseConnection {
public:
    // A capture source as the server describes it.
    struct Source {
        QString name;  // the server's persistent id
        QString description;  // what the user sees
        bool monitor = false;  // records what a sink plays
        AudioFormat format;
    };
    struct Defaults {
        QString source;
        QString sink;
    };
    // Holds the loop's lock: needed around every use of context() outside the queries.
    class Lock {
    public:
        explicit Lock(const PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    explicit PulseConnection(const char* threadName);
    // Disconnects and joins the loop's thread.
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects and waits for the server's answer; the reason when it cannot be reached. A
    // connection that ended (the server went away) is replaced by a new one.
    std::optional<QString> connect();
    // Whether the server answers: connected, and not ended since.
    bool isConnected() const;

    // Nothing when the connection is gone.
    std::optional<Defaults> defaults() const;
    std::optional<QList<Source>> sources() const;
    std::optional<Source> source(const QString& name) const;
    std::optional<QString> sinkDescription(const QString& name) const;

    // Calls `onChange` on the loop's thread for every added, changed or removed source or
    // sink, every change of the defaults and the end of the connection; null stops it.
    void watch(std::function<void()> onChange);

    // The server's reason for the last failure, and its error code.
    QString lastError() const;
    int lastErrorCode() const;
    pa_context* context() const { return m_context; }
    pa_threaded_mainloop* loop() const { return m_loop; }
    // Wakes whoever waits on the loop (from its own thread).
    void signal() const;
    // Waits, with the loop locked, until `operation` has ended; false when the connection
    // ended first.
    bool wait(pa_operation* operation) const;

private:
    void dropContext();  // with the loop locked

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::function<void()> m_onChange;  // touched with the loop locked
};
