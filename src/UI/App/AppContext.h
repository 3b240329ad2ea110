#pragma once

class AppSettings;
class Clipboard;
class DesktopWorkspace;
class Dialogs;
class EngineCommands;
class EngineState;
class MicLevelMonitor;
class MinutesStore;
class PipelineLog;
class Scheduler;
class Theme;
class UpdateManager;

// Everything a view may use, handed down by reference from the application entry (in tests,
// from a test context). Views read the engine's state and call its commands; they never see
// the engine. Every wait goes through the scheduler, every dialog through `dialogs`, every
// copy through `clipboard`, every opened address or revealed file through `workspace`.
struct AppContext {
    AppSettings& settings;
    const EngineState& engine;
    EngineCommands& commands;
    const PipelineLog& log;
    const MicLevelMonitor& micLevel;
    MinutesStore& minutes;
    UpdateManager& updates;
    Scheduler& scheduler;
    Theme& theme;
    Dialogs& dialogs;
    Clipboard& clipboard;
    DesktopWorkspace& workspace;
};
