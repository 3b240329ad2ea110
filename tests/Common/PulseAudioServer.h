#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <sys/types.h>
#include <vector>

// A private PulseAudio server for tests that need real audio on a machine without sound
// hardware. It offers a null sink "vsink", that sink's monitor remapped as the source
// "vmic_loop" (Qt hides monitor sources) and the pipe source "vmic", which delivers exactly
// what is written into its FIFO (raw 16 kHz mono s16le) and nothing otherwise. A silent
// keep-alive stream plays into "vsink" so that "vmic_loop" runs in real time even for short
// captures. Both processes are stopped by pid when the object goes away. The server can be
// stopped and started again at the same address, as a restart under its clients.
class PulseAudioServer {
public:
    static constexpr const char* kSinkName = "vsink";
    static constexpr const char* kLoopSourceName = "vmic_loop";
    static constexpr const char* kPipeSourceName = "vmic";
    static constexpr int kPipeSampleRate = 16000;

    enum class Start { now, later };

    // Starts the server and waits until `pactl info` answers, or (later) only chooses its address.
    explicit PulseAudioServer(Start when = Start::now);
    ~PulseAudioServer();
    PulseAudioServer(const PulseAudioServer&) = delete;
    PulseAudioServer& operator=(const PulseAudioServer&) = delete;

    // Starts a stopped server at its address; false, with the reason in error(), when it cannot.
    bool start();
    // Stops the server and its keep-alive; every client's connection ends.
    void stop();

    bool isRunning() const { return m_serverPid > 0; }
    // Why the server could not start (empty while running).
    const QString& error() const { return m_error; }
    // The value for PULSE_SERVER: "unix:<private directory>/pulse.sock".
    QString address() const;

    // Writes raw 16 kHz mono s16le samples into "vmic"; blocks until all are written.
    bool writeMicrophone(const QByteArray& samples) const;
    // Runs a PulseAudio client program (pactl, paplay, pacat, parec) against this server and
    // returns its standard output, or nothing when it fails or runs past the timeout.
    std::optional<QByteArray> runClient(const QString& program, const QStringList& arguments,
                                        int timeoutMs = 10000) const;
    // The recording streams that clients (this process included) have open, as lines of
    // `pactl list short source-outputs`; the modules' own streams are left out.
    QStringList clientRecordings() const;
    // Starts a client program (found on the path) that runs until the server stops, such as
    // pacat playing into a sink; false when it cannot start.
    bool startClient(const QString& program, const QStringList& arguments);

    // One server for the whole test process, started on first use and stopped when the
    // application object is destroyed. It also points this process's own PulseAudio clients
    // at itself, so call it before any connects: Qt Multimedia, which a benchmark compares
    // with, keeps its first server connection for the life of the process.
    static PulseAudioServer& shared();

private:
    bool launch();
    bool waitUntilAnswering();
    pid_t spawn(const QStringList& command, const QString& logName);
    static void stopProcess(pid_t& pid);
    QString logTail() const;

    QTemporaryDir m_dir;
    pid_t m_serverPid = -1;
    pid_t m_keepAlivePid = -1;
    std::vector<pid_t> m_clientPids;
    QString m_error;
};
