#pragma once

#include "Common/FakeDeviceSource.h"
#include "Common/FakeScheduler.h"
#include "Common/FakeUpdater.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/RecordingEngineCommands.h"
#include "Diagnostics/PipelineLog.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/MinutesStore.h"
#include "STT/SpeechEngine.h"
#include "Speech/FakeSpeechSynthesizer.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/UserDefaults.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/Theme.h"
#include "Update/UpdateManager.h"

#include <QTemporaryDir>

// Everything a view needs, without an engine, audio, network, D-Bus or dialogs: real settings
// over a temporary store, a real engine state the test writes, recorded engine commands, the
// frozen fake scheduler, a fake updater, dialogs answered in advance, a recording desktop.
struct UiTestContext {
    UiTestContext();
    // Over the settings another context stored (`defaultsFile`), read again from the disk.
    explicit UiTestContext(const QString& defaultsFile);

    QTemporaryDir directory;
    UserDefaults defaults;
    AppSettings settings;
    FakeScheduler scheduler;
    EngineState engine;
    RecordingEngineCommands commands;
    PipelineLog log;
    MicLevelMonitor micLevel;
    MinutesStore minutes;
    FakeUpdater updater;
    UpdateManager updates;
    Theme theme;
    Dialogs dialogs;
    Clipboard clipboard;
    RecordingDesktopWorkspace workspace;
    // The machine's microphones and speakers as a test sets them; no recognition models.
    FakeDeviceSource devices;
    SpeechEngine speech;
    AppServices services;
    // No voice until the test adds some to `synthesizer->installed`.
    FakeSpeechSynthesizer* synthesizer = new FakeSpeechSynthesizer;  // owned by `speechPlayer`
    SystemSpeechPlayer speechPlayer{std::unique_ptr<SpeechSynthesizer>(synthesizer), scheduler};
    AppContext context;
};
