#include "Platform/DBusSleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kLogindService = QStringLiteral("org.freedesktop.login1");
// The portal's flags: 4 suspend, 8 idle.
constexpr uint kPortalSuspendAndIdle = 4 | 8;

void onReply(QDBusConnection& bus, const QDBusMessage& call, QObject* context,
             std::function<void(const QDBusMessage& reply)> handle)
{
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, handle = std::move(handle)] {
        watcher->deleteLater();
        handle(watcher->reply());
    });
}
}  // namespace

DBusSleepInhibitor::DBusSleepInhibitor(QDBusConnection sessionBus, QDBusConnection systemBus, QObject* parent)
    : QObject(parent), m_sessionBus(std::move(sessionBus)), m_systemBus(std::move(systemBus))
{
}

DBusSleepInhibitor::~DBusSleepInhibitor()
{
    release();
}

void DBusSleepInhibitor::acquire(const QString& reason, Completion done)
{
    release();
    const quint64 attempt = m_attempt;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                       QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << kPortalSuspendAndIdle << QVariantMap{{QStringLiteral("reason"), reason}};
    onReply(m_sessionBus, call, this, [this, reason, attempt, done](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage) {
            askLogind(reason, attempt, reply.errorMessage(), done);
            return;
        }
        const auto handle = qvariant_cast<QDBusObjectPath>(reply.arguments().value(0));
        if (attempt != m_attempt) {
            closePortalRequest(handle);
            return;
        }
        m_portalRequest = handle;
        done(std::nullopt);
    });
}

void DBusSleepInhibitor::askLogind(const QString& reason, quint64 attempt, const QString& portalFailure,
                                   Completion done)
{
    if (attempt != m_attempt)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogindService, QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << QStringLiteral("Parlivox") << reason << QStringLiteral("block");
    onReply(m_systemBus, call, this, [this, attempt, portalFailure, done](const QDBusMessage& reply) {
        if (attempt != m_attempt)
            return;  // a lock that arrives late closes with the reply
        if (reply.type() != QDBusMessage::ReplyMessage) {
            done(QStringLiteral("portal: %1; logind: %2").arg(portalFailure, reply.errorMessage()));
            return;
        }
        m_logindLock = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().value(0));
        done(std::nullopt);
    });
}

void DBusSleepInhibitor::release()
{
    ++m_attempt;
    if (m_portalRequest)
        closePortalRequest(*std::exchange(m_portalRequest, std::nullopt));
    m_logindLock = QDBusUnixFileDescriptor();
}

void DBusSleepInhibitor::closePortalRequest(const QDBusObjectPath& handle)
{
    m_sessionBus.send(QDBusMessage::createMethodCall(
        kPortalService, handle.path(), QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
}
