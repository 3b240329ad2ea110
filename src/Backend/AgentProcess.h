#pragma once

#include "Support/Scheduler.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <chrono>

#include <sys/types.h>

// A command-line agent as a child process: in a process group of its own, standard input
// from /dev/null, standard output handed on as it arrives and standard error collected. On
// time-out or stop() the whole group is asked to terminate and killed after a grace. The run
// ends when the child itself has exited, even while a grandchild still holds its output open.
class AgentProcess : public QObject {
    Q_OBJECT
public:
    struct Launch {
        QString program;
        QStringList arguments;
        QString workingDirectory;
        QProcessEnvironment environment;
    };

    static constexpr std::chrono::milliseconds kKillGrace{2000};

    explicit AgentProcess(Scheduler& scheduler, QObject* parent = nullptr);
    // Kills the group and reaps the child if it still runs.
    ~AgentProcess() override;

    // The time-out counts from before the launch.
    void start(const Launch& launch, std::chrono::milliseconds timeout);
    void stop();

signals:
    void outputReceived(const QByteArray& chunk);
    // `status` is the exit code; for a child we ended it is the signal number (15 after
    // SIGTERM, 9 after SIGKILL); any other death by signal is -1.
    void exited(int status, const QByteArray& standardError);
    void failedToStart(const QString& error);

private:
    void signalGroup(int signal);
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);

    QProcess m_process;
    SingleShot m_timeout;
    SingleShot m_kill;
    QByteArray m_standardError;
    pid_t m_groupId = 0;
    bool m_stopping = false;
};
