#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/ConversationEngine.h"
#include "Platform/LinuxPlatform.h"
#include "Platform/QuitDeadline.h"
#include "Platform/QuitSignals.h"
#include "Platform/SingleInstance.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Storage/AppPaths.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"
#include "UI/App/ParlivoxApp.h"
#include "UI/Kit/FontWarmUp.h"

#include <QApplication>
#include <QLoggingCategory>

#include <optional>

Q_LOGGING_CATEGORY(lcApp, "app.parlivox.app")

namespace {
// What the teardown after the session takes at most: the services and platform parts stop in
// a few milliseconds unless something cannot be stopped.
constexpr std::chrono::milliseconds kTeardownLimit{750};
}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Parlivox"));
    QCoreApplication::setOrganizationName(QStringLiteral("Parlivox"));
    const FontWarmUp fonts(ParlivoxApp::glyphsShownFirst());

    // One program per user: a second start brings the first to the front and ends here,
    // before it makes anything that listens, answers or writes.
    SingleInstance instance;
    QString role;
    if (instance.claim(&role) == SingleInstance::Role::handedOver) {
        qCInfo(lcApp, "%s; this start ends", qPrintable(role));
        return 0;
    }
    qCInfo(lcApp, "%s", qPrintable(role));
    // Told to stop, the program quits as when its window is closed: the engine, destroyed
    // after the event loop, ends a running session and writes its minutes down.
    const QuitSignals quitSignals;
    // Armed once the session is written (below), and gone last, when everything else has.
    std::optional<QuitDeadline> teardownDeadline;

    AppPaths::ensureAll();
    UserDefaults defaults(UserDefaults::standardFilePath());
    AppSettings settings(defaults);
    QtScheduler scheduler;
    // The composition root: with Platform/ the only code that names the Linux classes.
    PlatformParts platform = makeLinuxPlatform();
    AppServices services(scheduler, platform.speechEngine, *platform.audioDevices);
    // The one speech player, made now and handed to the engine.
    SystemSpeechPlayer player(std::move(platform.speechSynthesizer), scheduler);
    const DeviceIdentifier device(defaults);

    qCInfo(lcApp, "Parlivox ready: data in %s, settings in %s, mode %s, provider %s", qPrintable(AppPaths::root()),
           qPrintable(defaults.filePath()), qPrintable(rawValue(settings.appMode())),
           qPrintable(rawValue(settings.assistantProvider())));

    int exitCode = 0;
    {
        // The engine is made once, before the window first shows, from these settings, this
        // speech player and the platform's parts; it lives until the event loop has ended.
        std::unique_ptr<ConversationEngine> engine;
        ParlivoxApp parlivox(settings, scheduler, *platform.desktop, services, player, [&] {
            engine = std::make_unique<ConversationEngine>(
                ConversationEngine::Setup{settings, scheduler, player, platform, services, device});
            return ParlivoxApp::Engine{engine->state(), *engine, engine->log(), engine->micLevel(), engine->minutes()};
        });
        instance.setOnActivate([&parlivox] { parlivox.bringToFront(); });
        exitCode = parlivox.run();
    }
    // The window and the engine are gone: a running session has ended as at clocking out, its
    // recording closed, its minutes, meeting note and history lines written. The rest goes
    // within the deadline, or the program ends without it: a skill's worker may be in a call
    // that nothing can cut short, and quitting never waits on a skill.
    teardownDeadline.emplace(kTeardownLimit, exitCode);
    return exitCode;
}
