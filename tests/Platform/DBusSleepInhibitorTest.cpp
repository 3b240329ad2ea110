#include "Platform/DBusSleepInhibitor.h"

#include "Common/PrivateBus.h"
#include "Common/QtPrinters.h"

#include <QDBusConnectionInterface>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kReason = QStringLiteral("Parlivox always-on voice listening");
using Answer = std::optional<std::optional<QString>>;  // none until answered, then the failure if any

// The portal's request object: closing it ends the hold.
class FakeRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    int closed = 0;
public slots:
    void Close() { ++closed; }
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}
    QStringList calls;  // "<flags> <reason>"
    FakeRequest request;
public slots:
    QDBusObjectPath Inhibit(const QString&, uint flags, const QVariantMap& options)
    {
        calls << QString::number(flags) + u' ' + options.value(QStringLiteral("reason")).toString();
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t%1").arg(calls.size());
        m_bus.registerObject(path, &request, QDBusConnection::ExportAllSlots);
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection m_bus;
};

// logind hands out the write end of a pipe: the lock lasts while anyone holds it open.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogind() override { ::close(readEnd); }
    QStringList call;
    int readEnd = -1;
    bool lockClosed() const
    {
        char byte;
        return ::read(readEnd, &byte, 1) == 0;
    }
public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        call = {what, who, why, mode};
        int fds[2];
        if (::pipe2(fds, O_NONBLOCK) != 0)
            return {};
        readEnd = fds[0];
        QDBusUnixFileDescriptor lock(fds[1]);  // a copy goes out with the reply
        ::close(fds[1]);
        return lock;
    }
};

bool acquired(DBusSleepInhibitor& inhibitor, Answer& answer)
{
    inhibitor.acquire(kReason, [&answer](const std::optional<QString>& failure) { answer = failure; });
    return QTest::qWaitFor([&] { return answer.has_value(); }, 5000);
}
}  // namespace

TEST(DBusSleepInhibitor, ThePortalHoldsIdleAndSuspendUntilItsRequestIsClosed)
{
    PrivateBus session;
    ASSERT_TRUE(session.isRunning());
    QDBusConnection service = session.connect(QStringLiteral("portal"));
    FakePortal portal(service);
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

    DBusSleepInhibitor inhibitor(session.connect(QStringLiteral("client")), QDBusConnection(QStringLiteral("none")));
    Answer answer;
    ASSERT_TRUE(acquired(inhibitor, answer));
    EXPECT_EQ(*answer, std::nullopt);
    EXPECT_EQ(portal.calls, QStringList{"12 " + kReason});
    inhibitor.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return portal.request.closed == 1; }, 5000));

    // A hold granted after it was given back is closed at once and reported to no one.
    Answer late;
    inhibitor.acquire(kReason, [&late](const std::optional<QString>& failure) { late = failure; });
    inhibitor.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return portal.request.closed == 2; }, 5000));
    EXPECT_FALSE(late.has_value());
}

TEST(DBusSleepInhibitor, WithoutAPortalLogindsIdleLockIsHeldUntilReleasedAndWithNeitherTheFailureSaysWhy)
{
    PrivateBus session;
    PrivateBus system;
    ASSERT_TRUE(session.isRunning() && system.isRunning());
    QDBusConnection service = system.connect(QStringLiteral("logind"));
    FakeLogind logind;
    ASSERT_TRUE(
        service.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.login1")));

    // Qt keeps connections by name: under one name both buses would give the same connection,
    // whichever was made first, and the portal would be asked on the system bus.
    const QDBusConnection sessionClient = session.connect(QStringLiteral("session-client"));
    const QDBusConnection systemClient = system.connect(QStringLiteral("system-client"));
    ASSERT_NE(sessionClient.baseService(), QString());
    ASSERT_FALSE(sessionClient.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1")).value())
        << "the session connection reaches the system bus";
    DBusSleepInhibitor inhibitor(sessionClient, systemClient);
    Answer answer;
    ASSERT_TRUE(acquired(inhibitor, answer));
    EXPECT_EQ(*answer, std::nullopt);
    EXPECT_EQ(logind.call, QStringList({"idle", "Parlivox", kReason, "block"}));
    EXPECT_FALSE(logind.lockClosed());
    inhibitor.release();
    EXPECT_TRUE(logind.lockClosed());

    ASSERT_TRUE(service.unregisterService(QStringLiteral("org.freedesktop.login1")));
    Answer refused;
    ASSERT_TRUE(acquired(inhibitor, refused));
    ASSERT_TRUE(refused->has_value());
    EXPECT_TRUE(refused->value().startsWith(QStringLiteral("portal: "))) << refused->value().toStdString();
    EXPECT_TRUE(refused->value().contains(QStringLiteral("; logind: "))) << refused->value().toStdString();
}

#include "DBusSleepInhibitorTest.moc"
