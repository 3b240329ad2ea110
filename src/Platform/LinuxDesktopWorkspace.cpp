#include "Platform/LinuxDesktopWorkspace.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcWorkspace, "app.parlivox.workspace")

LinuxDesktopWorkspace::LinuxDesktopWorkspace(QDBusConnection bus, UrlHandler handler)
    : m_bus(std::move(bus)), m_handler(handler ? std::move(handler) : UrlHandler(&QDesktopServices::openUrl))
{
}

bool LinuxDesktopWorkspace::openUrl(const QUrl& url)
{
    if (!url.isValid() || !m_handler(url)) {
        qCWarning(lcWorkspace, "no handler opened %s", qUtf8Printable(url.scheme() + QLatin1Char(':')));
        return false;
    }
    return true;
}

void LinuxDesktopWorkspace::revealFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(absolute).absolutePath());
    const UrlHandler openFolder = m_handler;
    if (!m_bus.isConnected()) {
        openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: starting a file manager on demand may take a while, and the window must not wait.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [openFolder, folder](QDBusPendingCallWatcher* done) {
        if (done->isError()) {
            qCInfo(lcWorkspace, "no file manager answered (%s); opening the folder",
                   qUtf8Printable(done->error().name()));
            openFolder(folder);
        }
        done->deleteLater();
    });
}
