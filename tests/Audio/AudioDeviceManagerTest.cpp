#include "Audio/AudioDeviceManager.h"
#include "Common/FakeDeviceSource.h"
#include "Common/QtPrinters.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class AudioDeviceManagerTest : public ::testing::Test {
protected:
    FakeDeviceSource source;
    AudioDeviceManager manager{source};
};

TEST_F(AudioDeviceManagerTest, ListsMicrophonesByNameKeepingTheOrderOfEqualNames)
{
    source.devices = {
        {QStringLiteral("usb-2"), QStringLiteral("USB Mic")},
        {QStringLiteral("alsa.builtin"), QStringLiteral("built-in microphone")},
        {QStringLiteral("hdmi.monitor"), QStringLiteral("Monitor of HDMI"), true},
        {QString(), QStringLiteral("No id")},
        {QStringLiteral("unnamed"), QString()},
        {QStringLiteral("usb-1"), QStringLiteral("USB Mic")},
        {QStringLiteral("headset"), QStringLiteral("Headset")},
    };
    const QList<AudioInputDevice> devices = manager.listInputDevices();
    QStringList uids;
    for (const AudioInputDevice& device : devices)
        uids.append(device.uid);
    EXPECT_THAT(uids, ElementsAre("alsa.builtin", "headset", "usb-2", "usb-1"));
    EXPECT_EQ(devices.first(),
              (AudioInputDevice{1, QStringLiteral("alsa.builtin"), QStringLiteral("built-in microphone")}));
    // Looked up by the exact uid only.
    EXPECT_EQ(manager.device(QStringLiteral("usb-1"))->name, QStringLiteral("USB Mic"));
    EXPECT_FALSE(manager.device(QStringLiteral("USB-1")));
    EXPECT_FALSE(manager.device(QString()));
    source.devices.clear();
    EXPECT_TRUE(manager.listInputDevices().isEmpty());
    EXPECT_FALSE(manager.device(QStringLiteral("usb-1")));
}

TEST_F(AudioDeviceManagerTest, NamesForTheSettings)
{
    source.devices = {{QStringLiteral("usb-1"), QStringLiteral("USB Mic")}};
    EXPECT_EQ(manager.displayInputName(QString()), QStringLiteral("System default"));
    EXPECT_EQ(manager.displayDefaultOutputName(), QStringLiteral("Unknown"));
    // An output's monitor as the server's default is no microphone to name.
    source.defaultDevice = AudioDeviceSource::Device{QStringLiteral("hdmi.monitor"), QStringLiteral("Monitor"), true};
    EXPECT_EQ(manager.displayInputName(QString()), QStringLiteral("System default"));
    source.defaultDevice = AudioDeviceSource::Device{QStringLiteral("usb-1"), QStringLiteral("USB Mic")};
    source.outputName = QStringLiteral("Speakers");
    EXPECT_EQ(manager.displayInputName(QString()), QStringLiteral("USB Mic (system default)"));
    EXPECT_EQ(manager.displayInputName(QStringLiteral("usb-1")), QStringLiteral("USB Mic"));
    EXPECT_EQ(manager.displayInputName(QStringLiteral("unplugged")), QStringLiteral("Unknown"));
    EXPECT_EQ(manager.displayDefaultOutputName(), QStringLiteral("Speakers"));
}

}  // namespace
