#include "UI/UiTestContext.h"

#include "UI/Kit/Icons.h"

UiTestContext::UiTestContext() : UiTestContext(QString())
{
}

UiTestContext::UiTestContext(const QString& defaultsFile)
    : defaults(defaultsFile.isEmpty() ? directory.filePath(QStringLiteral("defaults.json")) : defaultsFile),
      settings(defaults, AppSettings::Environment{QString(), QString(), QStringLiteral("en_US")}), log(scheduler),
      updates(updater, scheduler),
      services(scheduler, speech, devices), context{settings,  engine,    commands,  log,         micLevel,
                                                    minutes,   updates,   scheduler, theme,       dialogs,
                                                    clipboard, workspace, services,  speechPlayer}
{
    Icons::useDesktopTheme();
}
