#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Platform/LinuxPlatform.h"
#include "Storage/AppPaths.h"
#include "Support/QtScheduler.h"
#include "Support/UserDefaults.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcApp, "app.parlivox.app")

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Parlivox"));
    QCoreApplication::setOrganizationName(QStringLiteral("Parlivox"));

    AppPaths::ensureAll();
    UserDefaults defaults(UserDefaults::standardFilePath());
    AppSettings settings(defaults);
    // The composition root: the only place besides Platform/ that names the Linux classes.
    QtScheduler scheduler;
    PlatformParts platform = makeLinuxPlatform();
    AppServices services(scheduler, platform.speechEngine);

    qCInfo(lcApp, "Parlivox ready: data in %s, settings in %s, mode %s, provider %s", qPrintable(AppPaths::root()),
           qPrintable(defaults.filePath()), qPrintable(rawValue(settings.appMode())),
           qPrintable(rawValue(settings.assistantProvider())));
    return 0;
}
