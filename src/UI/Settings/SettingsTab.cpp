#include "UI/Settings/SettingsTab.h"

#include "UI/Settings/AboutSection.h"
#include "UI/Settings/AssistantSection.h"
#include "UI/Settings/BehaviorSection.h"
#include "UI/Settings/InputOutputSection.h"
#include "UI/Settings/LanguageSection.h"
#include "UI/Settings/ObsidianSection.h"
#include "UI/Settings/SpeakerEngineSection.h"
#include "UI/Settings/TelemetrySection.h"
#include "UI/Settings/UpdateSection.h"

SettingsTab::SettingsTab(AppContext& context, QWidget* parent)
    : SettingsPage(context, QStringLiteral("settingsTab"), QStringLiteral("settings.title"), parent)
{
    addSection(new LanguageSection(context));
    addSection(new BehaviorSection(context));
    addSection(new InputOutputSection(context));
    addSection(new AssistantSection(context));
    addSection(new ObsidianSection(context));
    addSection(new SpeakerEngineSection(context));
    addSection(new UpdateSection(context));
    addSection(new TelemetrySection(context));
    addSection(new AboutSection(context));
}
