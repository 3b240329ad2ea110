#include "Platform/XInputRawKeySource.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// A private X server for the length of a test.
class PrivateXServer {
public:
    PrivateXServer()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return;
        m_process.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                 QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_process.waitForStarted(5000))
            return;
        // Xvfb writes the display number it chose, then a line break.
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        const QByteArray number = m_process.readLine().trimmed();
        if (!number.isEmpty())
            m_display = ":" + number;
    }
    ~PrivateXServer()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    const QByteArray& display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
};

class ScopedDisplay {
public:
    explicit ScopedDisplay(const QByteArray& value)
        : m_old(qgetenv("DISPLAY")), m_had(qEnvironmentVariableIsSet("DISPLAY"))
    {
        if (value.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", value);
    }
    ~ScopedDisplay()
    {
        if (m_had)
            qputenv("DISPLAY", m_old);
        else
            qunsetenv("DISPLAY");
    }

private:
    QByteArray m_old;
    bool m_had;
};

}  // namespace

TEST(XInputRawKeySource, WithoutAnXDisplayThereIsNoGlobalSource)
{
    ScopedDisplay none{QByteArray()};
    XInputRawKeySource source;
    EXPECT_FALSE(source.start(108, [](const RawKeySource::Press&) {}));
    EXPECT_FALSE(source.isActive());
}

TEST(XInputRawKeySource, WatchesAnXServerAndStopsPromptly)
{
    PrivateXServer server;
    if (server.display().isEmpty())
        GTEST_SKIP() << "needs Xvfb to start a private X server";
    ScopedDisplay display(server.display());
    {
        XInputRawKeySource source;
        EXPECT_TRUE(source.start(108, [](const RawKeySource::Press&) {}));
        EXPECT_TRUE(source.isActive());
        EXPECT_TRUE(source.start(108, [](const RawKeySource::Press&) {})) << "a second start keeps the first";
    }  // the reader thread is woken and joined here
    SUCCEED();
}
