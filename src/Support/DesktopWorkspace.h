#pragma once

#include <QString>
#include <QUrl>

// What the system asks of the desktop: open an address with the user's default handler (a web
// page, a mail draft) and show a file selected in the file manager. Tests swap it for a fake.
class DesktopWorkspace {
public:
    virtual ~DesktopWorkspace() = default;

    // False when no handler took the address.
    virtual bool openUrl(const QUrl& url) = 0;
    // Shows the file selected in a file-manager window; returns at once.
    virtual void revealFile(const QString& path) = 0;
};
