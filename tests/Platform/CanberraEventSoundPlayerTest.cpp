#include "Platform/CanberraEventSoundPlayer.h"
#include "Common/LogCapture.h"
#include "Common/PulseAudioTest.h"
#include "Common/WithoutLibrary.h"

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
