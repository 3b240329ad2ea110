#include "Platform/PulseDeviceSource.h"
#include "Platform/PulseConnection.h"

#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"

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
