#include "Persistence/AppSettings.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Platform/LinuxDesktopWorkspace.h"
#include "Platform/QtAudioOutput.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Storage/AppPaths.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"
#include "UI/App/EngineStandIn.h"
#include "UI/App/ParlivoxApp.h"

#include <QApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcApp, "app.parlivox.app")

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Parlivox"));
    QCoreApplication::setOrganizationName(QStringLiteral("Parlivox"));

    AppPaths::ensureAll();
    UserDefaults defaults(UserDefaults::standardFilePath());
    AppSettings settings(defaults);
    QtScheduler scheduler;
    // The one speech player, made now and handed to the engine.
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<QtAudioOutput>()), scheduler);
    LinuxDesktopWorkspace workspace;

    qCInfo(lcApp, "Parlivox ready: data in %s, settings in %s, mode %s, provider %s", qPrintable(AppPaths::root()),
           qPrintable(defaults.filePath()), qPrintable(rawValue(settings.appMode())),
           qPrintable(rawValue(settings.assistantProvider())));

    // THE ENGINE IS MADE HERE: once, before the window first shows, from these settings and
    // this speech player. Until the conversation engine exists, a stand-in serves the window.
    std::unique_ptr<EngineStandIn> engine;
    ParlivoxApp parlivox(settings, scheduler, workspace, [&] {
        engine = std::make_unique<EngineStandIn>(scheduler);
        return ParlivoxApp::Engine{engine->state, *engine, engine->log, engine->micLevel, engine->minutes};
    });
    return parlivox.run();
}
