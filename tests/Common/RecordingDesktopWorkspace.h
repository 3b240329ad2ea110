#pragma once

#include "Platform/DesktopWorkspace.h"

#include <QList>
#include <QStringList>

// Stands in for the desktop: records every address opened and file revealed, and answers
// openUrl with `openAnswer` (false: no program took the address).
class RecordingDesktopWorkspace final : public DesktopWorkspace {
public:
    bool openUrl(const QUrl& url) override
    {
        opened << url;
        return openAnswer;
    }
    void revealFile(const QString& path) override { revealed << path; }

    QList<QUrl> opened;
    QStringList revealed;
    bool openAnswer = true;
};
