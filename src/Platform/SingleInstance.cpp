#include "Platform/SingleInstance.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "app.parlivox.instance")

namespace {
constexpr int kCallTimeoutMs = 5000;
// A first program that has its lock but is not listening yet gets this long to start.
constexpr int kConnectPatienceMs = 10000;
const QByteArray kActivateLine = "activate\n";
const QByteArray kDoneLine = "ok\n";

QString systemReason(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

void say(QString* why, const QString& text)
{
    if (why)
        *why = text;
}
}  // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QString runtimeFolder, QString lockFolder, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_socketPath(runtimeFolder + QStringLiteral("/parlivox.socket")),
      m_lockPath((lockFolder.isEmpty() ? AppPaths::root() : lockFolder) + QStringLiteral("/parlivox.lock"))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server) {
        m_server->close();
        QLocalServer::removeServer(m_socketPath);
    }
    if (m_ownsName)
        m_bus.unregisterService(kServiceName);
    if (m_lock >= 0)
        ::close(m_lock);
}

QString SingleInstance::defaultRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : runtime;
}

SingleInstance::Role SingleInstance::claim(QString* why)
{
    // The bus first: its name is the desktop's own way, and it is taken in one step.
    if (m_bus.isConnected() && !claimBusName(why)) {
        if (!handOverOnBus(why))
            qCWarning(lcInstance, "%s", qUtf8Printable(why ? *why : QString()));
        return Role::handedOver;
    }
    // The lock also holds against a program started without a bus, or on another one.
    if (!takeLock(why)) {
        if (!handOverOnSocket(why))
            qCWarning(lcInstance, "%s", qUtf8Printable(why ? *why : QString()));
        return Role::handedOver;
    }
    listen();
    say(why, m_ownsName ? QStringLiteral("the one Parlivox of this user (%1 on the session bus)").arg(kServiceName)
                        : QStringLiteral("the one Parlivox of this user (no session bus; %1)").arg(m_socketPath));
    return Role::first;
}

void SingleInstance::Activate()
{
    qCInfo(lcInstance, "a second start asked this program to come to the front");
    if (m_activate)
        m_activate();
}

bool SingleInstance::claimBusName(QString* why)
{
    m_bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = m_bus.interface()->registerService(
        kServiceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        // A bus that refuses names still leaves the lock to decide.
        qCWarning(lcInstance, "cannot own %s on the session bus: %s", qUtf8Printable(kServiceName),
                  qUtf8Printable(reply.error().message()));
        m_bus.unregisterObject(kObjectPath);
        return true;
    }
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_ownsName = true;
        return true;
    }
    m_bus.unregisterObject(kObjectPath);
    say(why, QStringLiteral("another Parlivox owns %1 on the session bus").arg(kServiceName));
    return false;
}

bool SingleInstance::handOverOnBus(QString* why)
{
    const QDBusMessage reply = m_bus.call(
        QDBusMessage::createMethodCall(kServiceName, kObjectPath, kServiceName, QStringLiteral("Activate")),
        QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        say(why, QStringLiteral("Parlivox is already running: its window was brought to the front"));
        return true;
    }
    say(why, QStringLiteral("Parlivox is already running but did not come to the front: %1").arg(reply.errorMessage()));
    return false;
}

bool SingleInstance::takeLock(QString* why)
{
    QString cause;
    const QString folder = m_lockPath.section(QLatin1Char('/'), 0, -2);
    if (!FileIO::ensureDirectory(folder, false, &cause)) {
        qCWarning(lcInstance, "no lock in %s: %s", qUtf8Printable(folder), qUtf8Printable(cause));
        return true;
    }
    const int fd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qCWarning(lcInstance, "no lock at %s: %s", qUtf8Printable(m_lockPath), qUtf8Printable(systemReason(errno)));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lock = fd;
        return true;
    }
    const int cause2 = errno;
    ::close(fd);
    if (cause2 != EWOULDBLOCK) {
        qCWarning(lcInstance, "cannot lock %s: %s", qUtf8Printable(m_lockPath), qUtf8Printable(systemReason(cause2)));
        return true;
    }
    say(why, QStringLiteral("another Parlivox holds %1").arg(m_lockPath));
    return false;
}

bool SingleInstance::handOverOnSocket(QString* why)
{
    const QDeadlineTimer deadline(kConnectPatienceMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(1000))
            break;
        if (deadline.hasExpired()) {
            say(why, QStringLiteral("Parlivox is already running (%1) but cannot be reached at %2: %3")
                         .arg(m_lockPath, m_socketPath, socket.errorString()));
            return false;
        }
        QThread::msleep(100);
    }
    socket.write(kActivateLine);
    QByteArray answer;
    while (!answer.endsWith('\n') && socket.waitForReadyRead(kCallTimeoutMs))
        answer += socket.readAll();
    if (answer == kDoneLine) {
        say(why, QStringLiteral("Parlivox is already running: its window was brought to the front"));
        return true;
    }
    say(why, QStringLiteral("Parlivox is already running but did not answer at %1").arg(m_socketPath));
    return false;
}

void SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Whatever is at the path was left by a program that ended: the lock says none runs.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        qCWarning(lcInstance, "later starts cannot reach this program at %s: %s", qUtf8Printable(m_socketPath),
                  qUtf8Printable(m_server->errorString()));
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = m_server->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
                if (!caller->canReadLine())
                    return;
                if (caller->readLine() == kActivateLine) {
                    caller->write(kDoneLine);
                    caller->flush();
                    Activate();
                }
                caller->disconnectFromServer();
            });
        }
    });
}
