// Starts the built program as the README does, on a private X server (xvfb-run), and checks
// that its window maps at its minimum size or more and shows something, with no microphone,
// no sound server and no network. The window's own snapshot is kept in PARLIVOX_SCREENS
// when that is set.
#include "Common/ImageChecks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>

#include <sys/stat.h>

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

// The files a second program would write: the settings and the conversation history, with
// their sizes and contents, so any change by the second start shows.
QStringList storedState(const QString& home)
{
    QStringList state;
    for (const QString& folder : {home + QStringLiteral("/.config/parlivox"), home + QStringLiteral("/.parli_vox_mac")}) {
        QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            if (path.contains(QLatin1String("/logs/")) || path.endsWith(QLatin1String(".lock")))
                continue;
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            state << path.mid(home.size()) + QLatin1Char(' ') +
                         QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
        }
    }
    state.sort();
    return state;
}

// The main windows named Parlivox on the display (Qt's hidden 1x1 helper windows left out).
QStringList parlivoxWindows(const QProcessEnvironment& display)
{
    const QString tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, display);
    QStringList windows;
    auto found =
        QRegularExpression(QStringLiteral("(0x[0-9a-f]+) \"Parlivox\": \\(.*\\)\\s+(\\d+)x(\\d+)")).globalMatch(tree);
    while (found.hasNext()) {
        const QRegularExpressionMatch next = found.next();
        if (next.captured(2).toInt() > 100)
            windows << next.captured(1);
    }
    return windows;
}

// Starts the program a second time on the home of a running one, with and without a session
// bus: the second start brings the first to the front and ends before it builds anything, so
// there is one window, one engine to answer each turn and one writer of every file.
TEST(AppWindow, aSecondStartOnTheSameHomeHandsOverToTheRunningProgramAndEnds)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) << "run scripts/install-deps";
    for (const bool withBus : {false, true}) {
        SCOPED_TRACE(withBus ? "with a session bus" : "without a session bus");
        QTemporaryDir home;
        const QString runtime = home.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral(".cache")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + home.filePath(QStringLiteral("none")));
        QProcess bus;
        if (withBus) {
            bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address=1"),
                                                      QStringLiteral("--address=unix:path=") + home.filePath("bus")});
            ASSERT_TRUE(bus.waitForReadyRead(10000)) << "dbus-daemon did not start";
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(bus.readLine().trimmed()));
        } else {
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                               QStringLiteral("unix:path=") + home.filePath(QStringLiteral("none")));
        }

        QProcess first;
        first.setProcessEnvironment(environment);
        first.setProcessChannelMode(QProcess::MergedChannels);
        first.start(QStringLiteral("xvfb-run"),
                    {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x900x24 -nolisten tcp"),
                     QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("echo \"x display=$DISPLAY auth=$XAUTHORITY pid=$$\"; exec \"$0\""),
                     QStringLiteral(PARLIVOX_BINARY)});
        ASSERT_TRUE(first.waitForStarted());
        QByteArray output;
        const auto x = waitForOutput(
            first, output, QRegularExpression(QStringLiteral("x display=(\\S+) auth=(\\S*) pid=(\\d+)")), 20000);
        ASSERT_TRUE(x.hasMatch()) << output.toStdString();
        const pid_t program = x.captured(3).toInt();
        const bool shown =
            waitForOutput(first, output, QRegularExpression(QStringLiteral("window shown: \\d+x\\d+")), 60000).hasMatch();
        QProcessEnvironment display = environment;
        display.insert(QStringLiteral("DISPLAY"), x.captured(1));
        display.insert(QStringLiteral("XAUTHORITY"), x.captured(2));
        const QStringList windowsBefore = parlivoxWindows(display);
        const QStringList stateBefore = storedState(home.path());

        QProcess second;
        second.setProcessEnvironment(display);
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(QStringLiteral(PARLIVOX_BINARY), {});
        const bool ended = second.waitForFinished(30000);
        const QString secondOutput = QString::fromUtf8(second.readAll());
        const bool raised =
            waitForOutput(first, output, QRegularExpression(QStringLiteral("window brought to the front")), 10000)
                .hasMatch();
        const QStringList windowsAfter = parlivoxWindows(display);
        const QStringList stateAfter = storedState(home.path());
        const bool firstRuns = ::kill(program, 0) == 0;
        ::kill(program, SIGTERM);
        first.waitForFinished(20000);
        output += first.readAll();
        if (withBus) {
            bus.terminate();
            bus.waitForFinished(5000);
        }

        // What each start said of the other, for the record.
        for (const QString& line : QString::fromUtf8(output).split(QLatin1Char('\n')) + secondOutput.split(QLatin1Char('\n')))
            if (line.contains(QLatin1String("app.parlivox.instance")) || line.contains(QLatin1String("Parlivox is")) ||
                line.contains(QLatin1String("the one Parlivox")) || line.contains(QLatin1String("brought to the front")))
                std::cout << (withBus ? "[bus] " : "[no bus] ") << line.toStdString() << "\n";
        ASSERT_TRUE(shown) << output.toStdString();
        ASSERT_TRUE(ended) << secondOutput.toStdString();
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0) << secondOutput.toStdString();
        EXPECT_TRUE(secondOutput.contains(
            QLatin1String("Parlivox is already running: its window was brought to the front; this start ends")))
            << secondOutput.toStdString();
        // It made no engine (the "ready" line comes with it), no window and wrote nothing.
        EXPECT_FALSE(secondOutput.contains(QLatin1String("Parlivox ready"))) << secondOutput.toStdString();
        EXPECT_FALSE(secondOutput.contains(QLatin1String("window shown"))) << secondOutput.toStdString();
        EXPECT_EQ(stateAfter, stateBefore);
        EXPECT_TRUE(raised) << output.toStdString();
        EXPECT_TRUE(firstRuns) << "the first program goes on";
        EXPECT_EQ(windowsBefore.size(), 1) << windowsBefore.join(' ').toStdString();
        EXPECT_EQ(windowsAfter, windowsBefore) << "one window, the first one's";
        EXPECT_EQ(output.count("Parlivox ready"), 1) << output.toStdString();
    }
}

}  // namespace
