#include "UI/Settings/TelemetrySection.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"

#include <QCheckBox>

TelemetrySection::TelemetrySection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("telemetrySection"), parent)
{
    setTitle(QStringLiteral("settings.section.telemetry"));
    QCheckBox* telemetry = addToggle(QStringLiteral("telemetryToggle"), QStringLiteral("settings.telemetry"),
                                     QStringLiteral("settings.telemetry_help"));
    SettingBinding::toggle(*telemetry, context.settings, &AppSettings::telemetryEnabled,
                           &AppSettings::setTelemetryEnabled, &AppSettings::telemetryEnabledChanged);

    PlainTextLabel* header = makeLabel(TextStyle::Size::caption, TextTint::accent());
    TextStyle::setSize(*header, TextStyle::Size::caption, true);
    texts().label(*header, QStringLiteral("settings.telemetry_privacy_header"));
    addRow(rowOf({makeSymbol("shield.lefthalf.filled", 14), header, nullptr}, 4));

    PlainTextLabel* body = addNote(TextTint::secondary(), TextStyle::Size::caption2);
    body->setObjectName(QStringLiteral("privacyStatement"));
    texts().label(*body, QStringLiteral("settings.telemetry_privacy_body"));
}
