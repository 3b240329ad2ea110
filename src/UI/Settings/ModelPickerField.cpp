#include "UI/Settings/ModelPickerField.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/AssistantSectionModel.h"
#include "UI/Settings/LocalizedTexts.h"

#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace Model = AssistantSectionModel;

ModelPickerField::ModelPickerField(AppContext& context, QWidget* parent)
    : LabelledRow(parent), m_context(context), m_texts(new LocalizedTexts(context.settings, this)),
      m_field(new QLineEdit), m_presets(new QMenu(this))
{
    AppSettings& settings = context.settings;
    setObjectName(QStringLiteral("modelPickerField"));
    m_field->setObjectName(QStringLiteral("modelField"));
    m_field->setFixedWidth(240);
    auto* menuButton = new QToolButton;
    menuButton->setObjectName(QStringLiteral("modelPresetsButton"));
    menuButton->setAutoRaise(true);
    menuButton->setIcon(Icons::symbol(QStringLiteral("chevron.down.circle")));
    m_texts->toolTip(*menuButton, QStringLiteral("settings.model_presets"));
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setMenu(m_presets);

    addControl(m_field);
    addControl(menuButton);

    SettingBinding::text(*m_field, settings, &Model::currentModel, &Model::setCurrentModel,
                         &AppSettings::assistantProviderChanged);
    // The field also follows the chosen backend's own model setting (a preset, another view).
    for (const AssistantProvider provider : allCases<AssistantProvider>())
        if (const auto setting = Model::modelSetting(provider))
            SettingBinding::follow(*m_field, settings, setting->changed, [this] { showModel(); });
    SettingBinding::follow(*m_field, settings, &AppSettings::assistantProviderChanged, [this] { showModel(); });
    connect(&settings, &AppSettings::assistantProviderChanged, this, &ModelPickerField::refreshPresets);
    m_texts->follow([this] { refreshPresets(); });
}

void ModelPickerField::showModel()
{
    const QString model = Model::currentModel(m_context.settings);
    if (m_field->text() != model)
        m_field->setText(model);
    if (!m_field->hasFocus())
        m_field->home(false);  // a long name shows its start
}

void ModelPickerField::refreshPresets()
{
    const AssistantProvider provider = m_context.settings.assistantProvider();
    const QString placeholderKey = Model::placeholderKey(provider);
    m_field->setPlaceholderText(placeholderKey.isEmpty() ? QString() : m_texts->t(placeholderKey));
    m_presets->clear();
    for (const QString& preset : modelPresets(provider)) {
        const QString label = preset.isEmpty() ? m_texts->t(QStringLiteral("settings.model_default")) : preset;
        // Looked up when chosen: the preset lands in the backend selected then.
        m_presets->addAction(label, this, [this, preset] { Model::setCurrentModel(m_context.settings, preset); });
    }
}
