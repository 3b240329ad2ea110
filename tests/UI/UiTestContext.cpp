#include "UI/UiTestContext.h"

#include "UI/Kit/Icons.h"

UiTestContext::UiTestContext()
    : defaults(directory.filePath(QStringLiteral("defaults.json"))),
      settings(defaults, AppSettings::Environment{QString(), QString(), QStringLiteral("en_US")}), log(scheduler),
      updates(updater, scheduler), context{settings, engine,    commands, log,     micLevel,  minutes,
                                           updates,  scheduler, theme,    dialogs, clipboard, workspace}
{
    Icons::useDesktopTheme();
}
