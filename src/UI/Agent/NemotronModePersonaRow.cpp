#include "UI/Agent/NemotronModePersonaRow.h"

#include "Persistence/AppSettings.h"
#include "Persona/NemotronPersonaCatalog.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/PersonaChoices.h"
#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/PickerFill.h"
#include "UI/Settings/TextStyle.h"

#include <QHBoxLayout>

NemotronModePersonaRow::NemotronModePersonaRow(AppContext& context, AppMode mode, QWidget* parent) : QWidget(parent)
{
    auto* picker = new Picker;
    setObjectName(QStringLiteral("personaRow-") + rawValue(mode));
    picker->setObjectName(QStringLiteral("personaPicker-") + rawValue(mode));
    picker->setMinimumWidth(320);
    auto* texts = new LocalizedTexts(context.settings, this);
    texts->follow([picker, mode, &settings = context.settings] {
        PickerFill::fill(*picker,
                         PersonaChoices::items(NemotronPersonaCatalog::allPersonas(), mode, settings.uiLanguage()));
    });
    SettingBinding::choice(
        *picker, context.settings, [mode](const AppSettings& s) { return NemotronPersonaCatalog::chosenID(s, mode); },
        [mode](AppSettings& s, const QString& id) { s.setNemotronPersonaID(id, mode); },
        &AppSettings::nemotronPersonaIDByModeChanged);

    PlainTextLabel* label = TextStyle::makeLabel(TextStyle::Size::body, std::nullopt, context.theme);
    texts->label(*label, QStringLiteral("mode.") + rawValue(mode), picker);
    label->setBuddy(picker);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(label, 1);
    layout->addWidget(picker);
}
