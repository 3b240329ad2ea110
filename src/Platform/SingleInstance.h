#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

// One program per user. The first start claims Parlivox's name on the session bus
// ("app.parlivox.Parlivox", which the bus frees when the process ends however it ends) and a
// lock in the data folder (flock, also freed by the kernel, so one home never has two), with
// a local socket in the runtime folder for starts that have no bus. A later start finds the name or the lock taken, asks the
// running program to come to the front (a D-Bus call, or a line on the socket) and is told
// to exit: it makes no engine, window or store, so two programs never answer the same
// utterance or write the same files. GUI thread only.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.parlivox.Parlivox")
public:
    enum class Role {
        first,  // this process is the one program: it goes on
        handedOver,  // another one runs and was asked to come forward: this one exits
    };

    static inline const QString kServiceName = QStringLiteral("app.parlivox.Parlivox");
    static inline const QString kObjectPath = QStringLiteral("/app/parlivox/Parlivox");

    // `bus` is the session bus (a disconnected one when there is none); `runtimeFolder` holds
    // the socket ($XDG_RUNTIME_DIR by default), `lockFolder` the lock (the data folder).
    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QString runtimeFolder = defaultRuntimeFolder(), QString lockFolder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultRuntimeFolder();

    // Claims the name and the lock, or hands over to whoever holds them. `why` says how it
    // went, for the log.
    Role claim(QString* why = nullptr);

    // What the first program does when a later start asks it to come forward.
    void setOnActivate(std::function<void()> activate) { m_activate = std::move(activate); }

public slots:
    // The bus method a later start calls.
    Q_SCRIPTABLE void Activate();

private:
    bool claimBusName(QString* why);
    bool handOverOnBus(QString* why);
    bool takeLock(QString* why);
    bool handOverOnSocket(QString* why);
    void listen();

    QDBusConnection m_bus;
    const QString m_socketPath;
    const QString m_lockPath;
    int m_lock = -1;
    bool m_ownsName = false;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_activate;
};
