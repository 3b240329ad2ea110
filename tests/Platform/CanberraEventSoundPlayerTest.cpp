#include "Platform/CanberraEventSoundPlayer.h"
#include "Common/LogCapture.h"
#include "Common/PulseAudioServer.h"
#include "Common/PulseAudioTest.h"
#include "Common/ScopedPulseServer.h"
#include "Common/WithoutLibrary.h"

#include <QTest>

#include <gtest/gtest.h>

using CanberraEventSoundPlayerTest = PulseAudioTest;

TEST_F(CanberraEventSoundPlayerTest, ThemeSoundsPlayAndUnknownOnesAreOnlyLogged)
{
    LogCapture log(QStringLiteral("app.parlivox.sounds"));
    {
        CanberraEventSoundPlayer sounds;
        sounds.play(QStringLiteral("dialog-warning"));
        sounds.play(QStringLiteral("dialog-warning"));  // overlapping playbacks are fine
        sounds.play(QStringLiteral("no-such-sound-in-any-theme"));
    }  // joins the worker: every request has been handled
    const QStringList lines = log.messages();
    ASSERT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("event sound \"no-such-sound-in-any-theme\" not played")));
}

TEST(CanberraEventSoundPlayer, WithoutASoundServerFailsQuietly)
{
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse.sock");
    LogCapture log(QStringLiteral("app.parlivox.sounds"));
    {
        CanberraEventSoundPlayer sounds;
        sounds.play(QStringLiteral("dialog-error"));
    }
    EXPECT_EQ(log.messages().size(), 1);
    if (server.isEmpty())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", server);
}

// Without the library the phases stay silent, and the log says why once.
TEST(CanberraEventSoundPlayer, WithoutLibcanberraSaysWhyOnceAndStaysSilent)
{
    if (!withoutLibrary(QStringLiteral("libcanberra.so.0")))
        return;
    LogCapture log(QStringLiteral("app.parlivox.sounds"));
    {
        CanberraEventSoundPlayer sounds;
        sounds.play(QStringLiteral("dialog-warning"));
        sounds.play(QStringLiteral("dialog-error"));
    }
    ASSERT_EQ(log.messages().size(), 1) << log.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(
        log.messages().first().startsWith(QStringLiteral("no event sounds: libcanberra.so.0 cannot be loaded: ")))
        << log.messages().first().toStdString();
}

// A sound server that restarts under the program (a suspend, an update) still plays the next
// phase sound: the player reaches the new server instead of keeping its dead connection.
TEST(CanberraEventSoundPlayer, PlaysAgainAfterTheSoundServerRestarts)
{
    PulseAudioServer server;
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    const ScopedPulseServer address(server.address().toUtf8());
    LogCapture log(QStringLiteral("app.parlivox.sounds"));
    {
        CanberraEventSoundPlayer sounds;
        sounds.play(QStringLiteral("dialog-warning"));
        sounds.play(QStringLiteral("no-such-sound-in-any-theme"));  // a marker: this one is logged
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log.messages().isEmpty(); }, 10000));
        server.stop();
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        sounds.play(QStringLiteral("dialog-warning"));
    }
    const QStringList lines = log.messages();
    ASSERT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines.first().contains(QStringLiteral("no-such-sound-in-any-theme")));
}
