#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

// A D-Bus daemon of the test's own, so no test talks to the user's desktop or the system.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // A new connection under that name (one name per connection and bus).
    QDBusConnection connect(const QString& name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};
