#pragma once

#include "Common/FakeScheduler.h"
#include "Common/FakeUpdater.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/RecordingEngineCommands.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/MinutesStore.h"
#include "Pipeline/PipelineLog.h"
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
    AppContext context;
};
