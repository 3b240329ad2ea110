#include "Platform/PulseDeviceSource.h"

#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"

#include <QSignalSpy>

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
        ASSERT_TRUE(changed.wait(5000) || changed.size() > before);
        // The server may report one change in several events; the list settles on the last.
        while (changed.wait(200)) {
        }
        EXPECT_EQ(ids(devices.inputs()), step.inputs);
        EXPECT_EQ(devices.defaultInput().value_or(AudioDeviceSource::Device()).id, step.defaultInput);
    }
    pactl({QStringLiteral("set-default-source"), QString::fromLatin1(PulseAudioServer::kLoopSourceName)});
}

}  // namespace
