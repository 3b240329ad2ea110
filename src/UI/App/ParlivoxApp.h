#pragma once

#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Dialogs.h"

#include <QStringList>

#include <functional>
#include <memory>

class FeedUpdater;
class MainWindow;

// The application once its settings and speech player exist (main.cpp makes those first):
// run() builds the engine once through the builder, then the update manager, then the window
// on them, shows it and runs the event loop until the window closes.
//
// With PARLIVOX_WINDOW_SNAPSHOT set to a file name, the window saves what the display server
// shows of it there when it first appears, for checks of the built program on a bare X server.
class ParlivoxApp {
public:
    // What the engine shares with the window; it lives as long as the process.
    struct Engine {
        const EngineState& state;
        EngineCommands& commands;
        const PipelineLog& log;
        const MicLevelMonitor& micLevel;
        MinutesStore& minutes;
    };

    ParlivoxApp(AppSettings& settings, Scheduler& scheduler, DesktopWorkspace& workspace, AppServices& services,
                const SystemSpeechPlayer& speechPlayer, std::function<Engine()> buildEngine);
    ~ParlivoxApp();
    ParlivoxApp(const ParlivoxApp&) = delete;
    ParlivoxApp& operator=(const ParlivoxApp&) = delete;

    // The glyph pictures the first window draws, in the order it needs them: main.cpp has them
    // drawn ahead on the font thread while the rest starts.
    static QStringList glyphsShownFirst();

    int run();
    // Shows the window on top and gives it the focus (a second start of the program asks so).
    void bringToFront();

private:
    void announceWhenShown();

    AppSettings& m_settings;
    Scheduler& m_scheduler;
    DesktopWorkspace& m_workspace;
    AppServices& m_services;
    const SystemSpeechPlayer& m_speechPlayer;
    std::function<Engine()> m_buildEngine;
    Dialogs m_dialogs;
    Clipboard m_clipboard;
    // Built by run(), in this order, and destroyed in reverse.
    std::unique_ptr<Theme> m_theme;
    std::unique_ptr<FeedUpdater> m_updater;
    std::unique_ptr<UpdateManager> m_updates;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<MainWindow> m_window;
};
