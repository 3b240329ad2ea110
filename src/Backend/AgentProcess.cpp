#include "Backend/AgentProcess.h"

#include <QLoggingCategory>

#include <csignal>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcAgent, "app.parlivox.agent")

AgentProcess::AgentProcess(Scheduler& scheduler, QObject* parent)
    : QObject(parent), m_timeout(scheduler), m_kill(scheduler)
{
    m_process.setStandardInputFile(QProcess::nullDevice());
    // A session of its own makes the child the leader of a new process group, so ending
    // the group also ends the helpers it started.
    m_process.setChildProcessModifier([] { ::setsid(); });
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { emit outputReceived(m_process.readAllStandardOutput()); });
    // Drained as it comes, so a talkative agent never stalls on a full pipe.
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { m_standardError += m_process.readAllStandardError(); });
    connect(&m_process, &QProcess::finished, this, &AgentProcess::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        m_timeout.cancel();
        emit failedToStart(m_process.errorString());
    });
}

AgentProcess::~AgentProcess()
{
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        signalGroup(SIGKILL);
        m_process.waitForFinished();
    }
}

void AgentProcess::start(const Launch& launch, std::chrono::milliseconds timeout)
{
    m_timeout.start(timeout, [this] {
        qCWarning(lcAgent) << m_process.program() << "timed out";
        stop();
    });
    m_process.setProgram(launch.program);
    m_process.setArguments(launch.arguments);
    m_process.setWorkingDirectory(launch.workingDirectory);
    m_process.setProcessEnvironment(launch.environment);
    m_process.start(QIODevice::ReadOnly);
    m_groupId = static_cast<pid_t>(m_process.processId());
}

void AgentProcess::stop()
{
    m_timeout.cancel();
    if (m_stopping || m_process.state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    signalGroup(SIGTERM);
    m_kill.start(kKillGrace, [this] { signalGroup(SIGKILL); });
}

void AgentProcess::signalGroup(int signal)
{
    // Only while the child is unreaped: until then its pid, and so the group id, is ours.
    if (m_groupId <= 0 || m_process.state() == QProcess::NotRunning)
        return;
    ::kill(-m_groupId, signal);
    // A child still starting up may not have made its group yet.
    ::kill(m_groupId, signal);
}

void AgentProcess::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    m_timeout.cancel();
    m_kill.cancel();
    // Helpers of an agent we are ending go with it. The group outlives its leader only while
    // members remain, and while it exists its id cannot be handed to anyone else.
    if (m_stopping && m_groupId > 0)
        ::kill(-m_groupId, SIGKILL);
    if (const QByteArray rest = m_process.readAllStandardOutput(); !rest.isEmpty())
        emit outputReceived(rest);
    m_standardError += m_process.readAllStandardError();
    int status = exitCode;
    if (exitStatus == QProcess::CrashExit) {
        // Qt reports the signal number as the exit code of a child killed by a signal.
        const bool oursToSend = m_stopping && (exitCode == SIGTERM || exitCode == SIGKILL);
        status = oursToSend ? exitCode : -1;
    }
    emit exited(status, m_standardError);
}
