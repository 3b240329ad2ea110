#pragma once

#include "Support/DesktopWorkspace.h"

#include <QDBusConnection>

#include <functional>

// The desktop's own handlers (xdg-open) for addresses, and the freedesktop file-manager
// interface (org.freedesktop.FileManager1.ShowItems on the session bus) for revealing files;
// when no file manager answers, the file's folder is opened instead.
class LinuxDesktopWorkspace final : public DesktopWorkspace {
public:
    using UrlHandler = std::function<bool(const QUrl&)>;

    explicit LinuxDesktopWorkspace(QDBusConnection bus = QDBusConnection::sessionBus(), UrlHandler handler = {});

    bool openUrl(const QUrl& url) override;
    void revealFile(const QString& path) override;

private:
    QDBusConnection m_bus;
    UrlHandler m_handler;
};
