#pragma once

#include "Pipeline/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// Holds off idle sleep through the desktop portal (org.freedesktop.portal.Inhibit, idle and
// suspend), or, where no portal answers, through logind's "idle" inhibitor lock, which lasts
// as long as the descriptor it hands out stays open. Calls never block: replies arrive on the
// GUI thread.
class DBusSleepInhibitor final : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    explicit DBusSleepInhibitor(QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                                QDBusConnection systemBus = QDBusConnection::systemBus(), QObject* parent = nullptr);
    ~DBusSleepInhibitor() override;

    void acquire(const QString& reason, Completion done) override;
    void release() override;

private:
    void askLogind(const QString& reason, quint64 attempt, const QString& portalFailure, Completion done);
    void closePortalRequest(const QDBusObjectPath& handle);

    QDBusConnection m_sessionBus;
    QDBusConnection m_systemBus;
    quint64 m_attempt = 0;  // raised by every acquire and release; older replies give their hold back
    std::optional<QDBusObjectPath> m_portalRequest;
    QDBusUnixFileDescriptor m_logindLock;
};
