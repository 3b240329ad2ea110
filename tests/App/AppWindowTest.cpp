// Starts the built program as the README does, on a private X server (xvfb-run), and checks
// that its window maps at its minimum size or more and shows something, with no microphone,
// no sound server and no network. The window's own snapshot is kept in PARLIVOX_SCREENS
// when that is set.
#include "Common/ImageChecks.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {
// Runs until `pattern` appears in the merged output or the time runs out; the match, or "".
QRegularExpressionMatch waitForOutput(QProcess& process, QByteArray& output, const QRegularExpression& pattern,
                                      int timeoutMs)
{
    QRegularExpressionMatch match = pattern.match(QString::fromUtf8(output));
    while (!match.hasMatch() && process.state() == QProcess::Running && process.waitForReadyRead(timeoutMs)) {
        output += process.readAll();
        match = pattern.match(QString::fromUtf8(output));
    }
    return match;
}

QString run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(AppWindow, theProgramOpensItsWindowOnAnXServer)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) << "run scripts/install-deps";
    QTemporaryDir scratch;
    const QString screens = qEnvironmentVariable("PARLIVOX_SCREENS", scratch.path());
    QDir().mkpath(screens);
    const QString snapshot = QDir(screens).filePath(QStringLiteral("app-window.png"));
    QFile::remove(snapshot);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("PARLIVOX_WINDOW_SNAPSHOT"), snapshot);
    // No sound server and no session bus: the window must open without them.
    environment.insert(QStringLiteral("PULSE_SERVER"),
                       QStringLiteral("unix:") + scratch.filePath(QStringLiteral("none")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + scratch.filePath(QStringLiteral("none")));
    QProcess server;
    server.setProcessEnvironment(environment);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QStringLiteral("xvfb-run"),
                 {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x900x24 -nolisten tcp"),
                  QStringLiteral("sh"), QStringLiteral("-c"),
                  QStringLiteral("echo \"x display=$DISPLAY auth=$XAUTHORITY pid=$$\"; exec \"$0\""),
                  QStringLiteral(PARLIVOX_BINARY)});
    ASSERT_TRUE(server.waitForStarted());
    QByteArray output;
    const auto x = waitForOutput(server, output,
                                 QRegularExpression(QStringLiteral("x display=(\\S+) auth=(\\S*) pid=(\\d+)")), 20000);
    ASSERT_TRUE(x.hasMatch()) << output.toStdString();
    const pid_t program = x.captured(3).toInt();
    const bool shown =
        waitForOutput(server, output, QRegularExpression(QStringLiteral("window shown: \\d+x\\d+")), 60000).hasMatch();

    QProcessEnvironment display = environment;
    display.insert(QStringLiteral("DISPLAY"), x.captured(1));
    display.insert(QStringLiteral("XAUTHORITY"), x.captured(2));
    const QString tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, display);
    // Qt also makes a hidden 1x1 window of that name; the largest is the main window.
    QRegularExpressionMatch window;
    auto windows =
        QRegularExpression(QStringLiteral("(0x[0-9a-f]+) \"Parlivox\": \\(.*\\)\\s+(\\d+)x(\\d+)")).globalMatch(tree);
    while (windows.hasNext()) {
        const QRegularExpressionMatch next = windows.next();
        if (!window.hasMatch() || next.captured(2).toInt() > window.captured(2).toInt())
            window = next;
    }
    const QString info = window.hasMatch()
                             ? run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window.captured(1)}, display)
                             : QString();
    ::kill(program, SIGTERM);
    server.waitForFinished(20000);
    output += server.readAll();

    ASSERT_TRUE(shown) << output.toStdString();
    ASSERT_TRUE(window.hasMatch()) << tree.toStdString();
    EXPECT_GE(window.captured(2).toInt(), 800);
    EXPECT_GE(window.captured(3).toInt(), 720);
    EXPECT_TRUE(info.contains(QLatin1String("Map State: IsViewable"))) << info.toStdString();
    const QImage image(snapshot);
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 720);
    EXPECT_FALSE(isBlank(image));
}

}  // namespace
