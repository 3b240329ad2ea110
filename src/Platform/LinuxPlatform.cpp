#include "Platform/LinuxPlatform.h"

#include "Platform/CanberraEventSoundPlayer.h"
#include "Platform/DBusSleepInhibitor.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Platform/FaceDetectionModule.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "Platform/LinuxDesktopWorkspace.h"
#include "Platform/PocketsphinxDecoder.h"
#include "Platform/PulseCaptureBackend.h"
#include "Platform/PulseAudioOutput.h"
#include "Platform/PulseDeviceSource.h"
#include "Platform/V4L2FrameSource.h"
#include "Platform/XInputRawKeySource.h"

#include <QGuiApplication>

PlatformParts makeLinuxPlatform()
{
    PlatformParts parts;
    parts.makeCaptureBackend = [] { return std::make_unique<PulseCaptureBackend>(); };
    parts.audioDevices = std::make_unique<PulseDeviceSource>();
    parts.speechEngine = PocketsphinxDecoder::installedEngine();
    parts.makeAudioOutput = [] { return std::make_unique<PulseAudioOutput>(); };
    parts.speechSynthesizer = std::make_unique<EspeakSpeechSynthesizer>(parts.makeAudioOutput());
    parts.eventSounds = std::make_unique<CanberraEventSoundPlayer>();
    // XInput2 needs an X11 display; Wayland offers no global key events.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        parts.globalKeys = std::make_unique<XInputRawKeySource>();
    parts.desktop = std::make_unique<LinuxDesktopWorkspace>();
    parts.calendar = std::make_unique<IcalCalendarStore>();
    parts.makeCameraSource = [] { return std::make_unique<V4L2FrameSource>(); };
    parts.makeFaceDetector = [](QString* error) { return FaceDetectionModule::makeDetector(error); };
    parts.sleepInhibitor = std::make_unique<DBusSleepInhibitor>();
    return parts;
}
