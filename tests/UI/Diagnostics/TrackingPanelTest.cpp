// The tracking panel samples resources on the scheduler only while shown, counts the fire's
// age on each sample, and reads the device names again when the phase or microphone changes.
#include "UI/Diagnostics/TrackingPanel.h"

#include "Audio/AudioDeviceManager.h"
#include "Common/FakeDeviceSource.h"
#include "Common/QtPrinters.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/UiTestContext.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
QString text(QWidget& panel, const char* name)
{
    if (const auto* elided = panel.findChild<ElidedLabel*>(QLatin1String(name)))
        return elided->text();
    return panel.findChild<QLabel*>(QLatin1String(name))->text();
}
}  // namespace

TEST(TrackingPanel, SamplesOnceASecondOnlyWhileShown)
{
    UiTestContext ui;
    ui.engine.setLastFireReason(QStringLiteral("predicted silence 820ms"));
    ui.engine.setLastFireAt(ui.scheduler.wallNow());
    ui.scheduler.runDue();
    const std::size_t others = ui.scheduler.pendingCount();
    TrackingPanel panel(ui.context);
    EXPECT_EQ(text(panel, "memoryValue"), QStringLiteral("0 bytes")) << "nothing sampled before it shows";
    EXPECT_EQ(ui.scheduler.pendingCount(), others);

    panel.show();
    EXPECT_NE(text(panel, "memoryValue"), QStringLiteral("0 bytes")) << "sampled at once";
    EXPECT_EQ(ui.scheduler.pendingCount(), others + 1);
    ui.scheduler.advance(2500ms);
    EXPECT_EQ(text(panel, "fireAge"), QStringLiteral("2000ms ago")) << "the age moves with each sample";
    EXPECT_EQ(ui.scheduler.pendingCount(), others + 1);

    panel.hide();
    EXPECT_EQ(ui.scheduler.pendingCount(), others);
    ui.scheduler.advance(5s);
    EXPECT_EQ(text(panel, "fireAge"), QStringLiteral("2000ms ago"));

    panel.show();
    EXPECT_EQ(text(panel, "fireAge"), QStringLiteral("7500ms ago"));
    EXPECT_EQ(ui.scheduler.pendingCount(), others + 1);
}

TEST(TrackingPanel, TheFireLineFollowsTheInterfaceLanguage)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    ui.engine.setLastFireReason(QStringLiteral("predicted silence 820ms"));
    TrackingPanel panel(ui.context);
    EXPECT_EQ(text(panel, "fireDescription"), QStringLiteral("predicted silence timer"));
    ui.settings.setUiLanguage(AppLanguage::korean);
    EXPECT_EQ(text(panel, "fireDescription"), QStringLiteral("예측된 침묵 timer"));
    EXPECT_EQ(text(panel, "fireLabel"), QStringLiteral("SILENCE (timer)"));
}

TEST(TrackingPanel, ReadsTheDeviceNamesAgainWhenThePhaseOrTheMicrophoneChanges)
{
    UiTestContext ui;
    FakeDeviceSource* devices = &ui.devices;
    devices->devices = {{QStringLiteral("usb-mic"), QStringLiteral("USB Microphone")}};
    devices->defaultDevice = AudioDeviceSource::Device{QStringLiteral("built-in"), QStringLiteral("Built-in Mic")};
    devices->outputName = QStringLiteral("Speakers");
    TrackingPanel panel(ui.context);
    panel.show();
    EXPECT_EQ(text(panel, "micDeviceName"), QStringLiteral("Built-in Mic (system default)"));
    EXPECT_EQ(text(panel, "outputDeviceName"), QStringLiteral("Speakers"));

    devices->outputName = QStringLiteral("Headphones");
    ui.engine.setPhase(ConversationPhase::listening);
    EXPECT_EQ(text(panel, "outputDeviceName"), QStringLiteral("Headphones"));

    ui.settings.setMicrophoneDeviceUID(QStringLiteral("usb-mic"));
    EXPECT_EQ(text(panel, "micDeviceName"), QStringLiteral("USB Microphone"));
}
