#include "Common/PrivateXServer.h"

#include <QStandardPaths>
#include <QStringList>

PrivateXServer::PrivateXServer()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return;
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-noreset"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1280x900x24")});
    if (!m_process.waitForStarted(5000))
        return;
    // Xvfb writes the display number it chose, then a line break.
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
    }
    const QByteArray number = m_process.readLine().trimmed();
    if (!number.isEmpty())
        m_display = ":" + number;
}

PrivateXServer::~PrivateXServer()
{
    m_process.terminate();
    m_process.waitForFinished(5000);
}
