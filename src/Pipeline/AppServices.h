#pragma once

#include "Analytics/RozeRedOZA.h"
#include "Audio/AudioDeviceManager.h"
#include "Diagnostics/SystemMonitor.h"
#include "STT/SpeechLocaleCatalog.h"
#include "Skills/SkillRegistry.h"

class AudioDeviceSource;
class Scheduler;
struct SpeechEngine;

// The services the whole application shares: one of each, made by main() after the
// application object and destroyed before it, lent by reference to whoever uses them.
struct AppServices {
    // `scheduler` and `devices` must outlive the services; the catalog offers the languages
    // `speech` decodes.
    AppServices(Scheduler& scheduler, const SpeechEngine& speech, const AudioDeviceSource& devices);

    SkillRegistry skills;
    SpeechLocaleCatalog speechLocales;
    SystemMonitor systemMonitor;
    RozeRedOZA analytics;
    AudioDeviceManager audioDevices;
};
