#include "Platform/PulseDeviceSource.h"
#include "Platform/PulseConnection.h"

#include "Common/LogCapture.h"
#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedPulseServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

QStringList ids(const QList<AudioDeviceSource::Device>& devices)
{
    QStringList found;
    for (const AudioDeviceSource::Device& device : devices)
        found.append(device.monitor ? device.id + QStringLiteral(" (monitor)") : device.id);
    return found;
}

TEST_F(PulseAudioTest, TheDeviceListFollowsTheServersSourcesAndDefaults)
{
    const auto pactl = [](QStringList arguments) {
        return pulse().runClient(QStringLiteral("pactl"), arguments).value_or("failed").trimmed();
    };
    pactl({QStringLiteral("set-default-source"), QStringLiteral("vmic")});
    PulseDeviceSource devices;
    QSignalSpy firstList(&devices, &AudioDeviceSource::devicesChanged);
    ASSERT_TRUE(firstList.wait(5000)) << "the first list is read without the maker waiting, then announced";
    EXPECT_EQ(ids(devices.inputs()), QStringList({"vsink.monitor (monitor)", "vmic_loop", "vmic"}));
    EXPECT_EQ(devices.defaultInput().value_or(AudioDeviceSource::Device()).id, QStringLiteral("vmic"));
    EXPECT_EQ(devices.defaultOutputName(), QStringLiteral("Null Output"));

    QSignalSpy changed(&devices, &AudioDeviceSource::devicesChanged);
    QByteArray module;
    const struct {
        const char* name;
        std::function<void()> act;
        QStringList inputs;
        QString defaultInput;
    } steps[] = {
        {"a microphone plugged in",
         [&] {
             module = pactl({QStringLiteral("load-module"), QStringLiteral("module-sine-source"),
                             QStringLiteral("source_name=list_mic")});
         },
         {"vsink.monitor (monitor)", "vmic_loop", "vmic", "list_mic"},
         "vmic"},
        {"made the default",
         [&] {
             pactl({QStringLiteral("set-default-source"), QStringLiteral("list_mic")});
         },
         {"vsink.monitor (monitor)", "vmic_loop", "vmic", "list_mic"},
         "list_mic"},
        {"unplugged",
         [&] {
             pactl({QStringLiteral("unload-module"), QString::fromLatin1(module)});
         },
         {"vsink.monitor (monitor)", "vmic_loop", "vmic"},
         "vmic_loop"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const qsizetype before = changed.size();
        step.act();
        const auto current = [&] {
            return ids(devices.inputs()) == step.inputs &&
                   devices.defaultInput().value_or(AudioDeviceSource::Device()).id == step.defaultInput;
        };
        EXPECT_TRUE(QTest::qWaitFor(current, 5000))
            << ids(devices.inputs()).join(", ").toStdString() << " / "
            << devices.defaultInput().value_or(AudioDeviceSource::Device()).id.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return changed.size() > before; }, 5000));
    }
    pactl({QStringLiteral("set-default-source"), QString::fromLatin1(PulseAudioServer::kLoopSourceName)});
}

// The program started before the sound server, and the server restarted under it (a suspend,
// an update): the list fills once the server answers, empties while it is gone and fills again.
TEST(PulseDeviceSourceTest, TheListFollowsAServerThatStartsLateAndRestarts)
{
    PulseAudioServer server(PulseAudioServer::Start::later);
    const ScopedPulseServer scope(server.address().toLocal8Bit());
    const LogCapture log(QStringLiteral("app.parlivox.audio.devices"));
    PulseDeviceSource devices;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.messages().isEmpty(); }, 5000)) << "the first look finds nothing";
    EXPECT_TRUE(log.messages().first().startsWith(QStringLiteral("no sound server: ")));
    EXPECT_TRUE(devices.inputs().isEmpty());

    const QStringList served = {"vsink.monitor (monitor)", "vmic_loop", "vmic"};
    QSignalSpy changed(&devices, &AudioDeviceSource::devicesChanged);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "started after the program" : "restarted under it");
        if (!server.start())
            GTEST_SKIP() << "needs a private PulseAudio server: " << server.error().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ids(devices.inputs()) == served; }, 10000))
            << ids(devices.inputs()).join(", ").toStdString();
        EXPECT_EQ(devices.defaultOutputName(), QStringLiteral("Null Output"));
        const qsizetype announced = changed.size();
        EXPECT_GE(announced, 1);
        server.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return devices.inputs().isEmpty(); }, 5000));
        EXPECT_EQ(devices.defaultInput(), std::nullopt);
        EXPECT_TRUE(QTest::qWaitFor([&] { return changed.size() > announced; }, 5000));
    }
}

}  // namespace

namespace {

QByteArray threadName()
{
    QFile comm(QStringLiteral("/proc/thread-self/comm"));
    return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
}

// The connection names its own thread, never the thread that makes it (the GUI thread's name
// is the program's name in process lists).
TEST(PulseConnectionTest, NamesItsOwnThreadOnly)
{
    const QByteArray before = threadName();
    ASSERT_FALSE(before.isEmpty());
    const PulseConnection connection("audio.devices");
    EXPECT_EQ(threadName(), before);
}

}  // namespace
