#include "UI/Settings/MicrophonePickerField.h"

#include "Audio/AudioDeviceSource.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/PickerFill.h"

#include <QToolButton>

MicrophonePickerField::MicrophonePickerField(AppContext& context, QWidget* parent)
    : LabelledRow(parent), m_context(context), m_texts(new LocalizedTexts(context.settings, this)), m_picker(new Picker)
{
    setObjectName(QStringLiteral("microphonePickerField"));
    m_picker->setObjectName(QStringLiteral("microphonePicker"));
    m_picker->setMinimumWidth(220);
    auto* refreshButton = new QToolButton;
    refreshButton->setObjectName(QStringLiteral("refreshMicrophonesButton"));
    refreshButton->setAutoRaise(true);
    refreshButton->setIcon(Icons::symbol(QStringLiteral("arrow.clockwise")));
    m_texts->toolTip(*refreshButton, QStringLiteral("btn.refresh"));
    connect(refreshButton, &QToolButton::clicked, this, &MicrophonePickerField::refresh);
    connect(&context.services.audioDevices.source(), &AudioDeviceSource::devicesChanged, this,
            &MicrophonePickerField::refresh);

    addControl(m_picker);
    addControl(refreshButton);

    m_texts->follow([this] { refresh(); });  // the default entry's text is localized
    SettingBinding::choice(*m_picker, context.settings, &AppSettings::microphoneDeviceUID,
                           &AppSettings::setMicrophoneDeviceUID, &AppSettings::microphoneDeviceUIDChanged);
}

void MicrophonePickerField::showEvent(QShowEvent* event)
{
    refresh();
    LabelledRow::showEvent(event);
}

void MicrophonePickerField::refresh()
{
    PickerItems items{
        PickerItem::choice(m_texts->t(QStringLiteral("settings.microphone_default")), QString()),
    };
    for (const AudioInputDevice& device : m_context.services.audioDevices.listInputDevices())
        items << PickerItem::choice(device.name, device.uid);
    PickerFill::fill(*m_picker, items);
}
