#include "Common/PulseAudioServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <memory>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::unique_ptr<PulseAudioServer>& sharedInstance()
{
    static std::unique_ptr<PulseAudioServer> instance;
    return instance;
}

void stopSharedInstance()
{
    sharedInstance().reset();
}

}  // namespace

PulseAudioServer::PulseAudioServer(Start when)
{
    if (when == Start::now)
        start();
}

PulseAudioServer::~PulseAudioServer()
{
    stop();
}

bool PulseAudioServer::start()
{
    if (isRunning())
        return true;
    m_error.clear();
    if (launch())
        return true;
    stop();
    return false;
}

void PulseAudioServer::stop()
{
    for (pid_t& pid : m_clientPids)
        stopProcess(pid);
    m_clientPids.clear();
    stopProcess(m_keepAlivePid);
    stopProcess(m_serverPid);
}

PulseAudioServer& PulseAudioServer::shared()
{
    auto& instance = sharedInstance();
    if (!instance) {
        instance = std::make_unique<PulseAudioServer>();
        if (instance->isRunning())
            qputenv("PULSE_SERVER", instance->address().toLocal8Bit());
        qAddPostRoutine(stopSharedInstance);
    }
    return *instance;
}

QString PulseAudioServer::address() const
{
    return QStringLiteral("unix:") + m_dir.filePath(QStringLiteral("pulse.sock"));
}

bool PulseAudioServer::launch()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary directory for the server");
        return false;
    }
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("the pulseaudio program is not installed");
        return false;
    }
    const QString fifo = m_dir.filePath(QStringLiteral("mic.fifo"));
    m_serverPid = spawn(
        {program, QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
         QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"),
         QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=%1")
             .arg(m_dir.filePath(QStringLiteral("pulse.sock"))),
         QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=%1").arg(kSinkName), QStringLiteral("-L"),
         QStringLiteral("module-remap-source master=%1.monitor source_name=%2").arg(kSinkName, kLoopSourceName),
         QStringLiteral("-L"),
         QStringLiteral("module-pipe-source source_name=%1 file=%2 format=s16le rate=%3 channels=1")
             .arg(kPipeSourceName, fifo)
             .arg(kPipeSampleRate)},
        QStringLiteral("pulseaudio.log"));
    if (m_serverPid <= 0) {
        m_error = QStringLiteral("pulseaudio could not be started");
        return false;
    }
    if (!waitUntilAnswering())
        return false;
    m_keepAlivePid =
        spawn({QStandardPaths::findExecutable(QStringLiteral("pacat")), QStringLiteral("--latency-msec=20"),
               QStringLiteral("--device=%1").arg(kSinkName), QStringLiteral("/dev/zero")},
              QStringLiteral("keep-alive.log"));
    return true;
}

bool PulseAudioServer::waitUntilAnswering()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        int status = 0;
        if (waitpid(m_serverPid, &status, WNOHANG) == m_serverPid) {
            m_serverPid = -1;
            m_error = QStringLiteral("pulseaudio exited at start: ") + logTail();
            return false;
        }
        if (runClient(QStringLiteral("pactl"), {QStringLiteral("info")}, 2000))
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("pulseaudio did not answer `pactl info` within 5 s: ") + logTail();
    return false;
}

pid_t PulseAudioServer::spawn(const QStringList& command, const QString& logName)
{
    if (command.isEmpty() || command.first().isEmpty())
        return -1;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    environment.insert(QStringLiteral("PULSE_SERVER"), address());

    std::vector<QByteArray> storage;
    for (const QString& part : command)
        storage.push_back(part.toLocal8Bit());
    const std::size_t argumentCount = storage.size();
    for (const QString& entry : environment.toStringList())
        storage.push_back(entry.toLocal8Bit());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (std::size_t i = 0; i < storage.size(); ++i)
        (i < argumentCount ? argv : envp).push_back(storage[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    const QByteArray logPath = m_dir.filePath(logName).toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

void PulseAudioServer::stopProcess(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (waitpid(pid, &status, WNOHANG) != 0) {
            pid = -1;
            return;
        }
        QThread::msleep(20);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    pid = -1;
}

bool PulseAudioServer::startClient(const QString& program, const QStringList& arguments)
{
    const pid_t pid = spawn(QStringList{QStandardPaths::findExecutable(program)} + arguments,
                            QStringLiteral("%1-%2.log").arg(program).arg(m_clientPids.size()));
    if (pid > 0)
        m_clientPids.push_back(pid);
    return pid > 0;
}

QString PulseAudioServer::logTail() const
{
    QFile log(m_dir.filePath(QStringLiteral("pulseaudio.log")));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(no log)");
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    return QString::fromLocal8Bit(lines.mid(qMax(0, lines.size() - 3)).join(" | "));
}

bool PulseAudioServer::writeMicrophone(const QByteArray& samples) const
{
    const QByteArray fifo = m_dir.filePath(QStringLiteral("mic.fifo")).toLocal8Bit();
    // The pipe source holds the FIFO open for reading, so this open never blocks.
    const int fd = open(fifo.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < samples.size()) {
        const ssize_t n = write(fd, samples.constData() + written, static_cast<size_t>(samples.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    close(fd);
    return written == samples.size();
}

std::optional<QByteArray> PulseAudioServer::runClient(const QString& program, const QStringList& arguments,
                                                      int timeoutMs) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), address());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

QStringList PulseAudioServer::clientRecordings() const
{
    const auto listed = runClient(QStringLiteral("pactl"),
                                  {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("source-outputs")});
    QStringList clients;
    for (const QString& line : QString::fromUtf8(listed.value_or(QByteArray())).split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("protocol-native.c")))
            clients.append(line);
    return clients;
}
