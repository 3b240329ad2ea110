#pragma once

#include "Audio/AudioDeviceSource.h"
#include "Audio/CaptureBackend.h"
#include "Input/RawKeySource.h"
#include "Pipeline/SleepInhibitor.h"
#include "STT/SpeechEngine.h"
#include "Skills/CalendarStore.h"
#include "Speech/AudioOutput.h"
#include "Speech/EventSoundPlayer.h"
#include "Speech/SpeechSynthesizer.h"
#include "Support/DesktopWorkspace.h"
#include "Vision/FaceDetector.h"
#include "Vision/FrameSource.h"

#include <functional>
#include <memory>

// The platform services the engine is built from, as interfaces: the Linux set in production
// (makeLinuxPlatform), fakes in tests. A part with one user is moved into that user; the
// device list, the desktop and the calendar are lent by reference and stay here; what a session
// makes anew comes from a factory. Made once and kept for the application's lifetime.
struct PlatformParts {
    // A capture backend for each new AudioInputStream.
    std::function<std::unique_ptr<CaptureBackend>()> makeCaptureBackend;
    std::unique_ptr<AudioDeviceSource> audioDevices;
    // The recognition models and a decoder for each recognizer.
    SpeechEngine speechEngine;
    // For the speech player.
    std::unique_ptr<SpeechSynthesizer> speechSynthesizer;
    std::function<std::unique_ptr<AudioOutput>()> makeAudioOutput;
    // For the phase sounds.
    std::unique_ptr<EventSoundPlayer> eventSounds;
    // For the right-Alt monitor; null where the desktop offers no global key events.
    std::unique_ptr<RawKeySource> globalKeys;
    std::unique_ptr<DesktopWorkspace> desktop;
    // For the calendar skills.
    std::unique_ptr<CalendarStore> calendar;
    // The camera (made when first needed); unset: the engine has no camera.
    std::function<std::unique_ptr<FrameSource>()> makeCameraSource;
    // The face detector of the gaze tracker; it answers null, with the reason, when detection
    // cannot work here.
    std::function<std::unique_ptr<FaceDetector>(QString* error)> makeFaceDetector;
    // Keeps the machine awake while a session listens.
    std::unique_ptr<SleepInhibitor> sleepInhibitor;
};
