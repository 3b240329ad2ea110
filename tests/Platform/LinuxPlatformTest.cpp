#include "Platform/LinuxPlatform.h"

#include "Common/FakeScheduler.h"
#include "Pipeline/AppServices.h"

#include <gtest/gtest.h>

namespace {

TEST(LinuxPlatform, FillsEveryPartAndTheServicesOfferTheInstalledLanguages)
{
    PlatformParts parts = makeLinuxPlatform();
    EXPECT_TRUE(parts.makeCaptureBackend && parts.makeCaptureBackend());
    EXPECT_TRUE(parts.audioDevices);
    EXPECT_TRUE(parts.speechEngine.makeDecoder && parts.speechEngine.makeDecoder());
    EXPECT_TRUE(parts.speechSynthesizer);
    EXPECT_TRUE(parts.makeAudioOutput && parts.makeAudioOutput());
    EXPECT_TRUE(parts.eventSounds);
    EXPECT_FALSE(parts.globalKeys) << "the tests run offscreen, where no global key source exists";
    EXPECT_TRUE(parts.desktop);
    EXPECT_TRUE(parts.calendar);
    EXPECT_TRUE(parts.makeCameraSource && parts.makeCameraSource());
    // From the module loaded on first use, with the detector files of opencv-data; it takes
    // the camera's frames as they come and finds nobody in an empty one.
    ASSERT_TRUE(parts.makeFaceDetector);
    QString error;
    const std::unique_ptr<FaceDetector> detector = parts.makeFaceDetector(&error);
    ASSERT_TRUE(detector) << error.toStdString();
    QImage empty(320, 240, QImage::Format_ARGB32);
    empty.fill(Qt::darkGray);
    for (const bool grayscale : {true, false})
        EXPECT_FALSE(detector->detect(empty, grayscale).has_value());
    EXPECT_TRUE(parts.sleepInhibitor);

    FakeScheduler scheduler;
    const AppServices services(scheduler, parts.speechEngine, *parts.audioDevices);
    QStringList offered;
    for (const SpeechLocaleCatalog::Entry& entry : services.speechLocales.entries())
        offered.append(entry.id);
    EXPECT_EQ(offered.size(), parts.speechEngine.localeIDs().size());
    EXPECT_TRUE(offered.contains(QStringLiteral("en-US")));
}

}  // namespace
