#include "UI/Settings/InputOutputSection.h"

#include "UI/Kit/Picker.h"
#include "UI/Settings/MicrophonePickerField.h"

InputOutputSection::InputOutputSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("inputOutputSection"), parent)
{
    setTitle(QStringLiteral("settings.section.io"));
    auto* field = new MicrophonePickerField(context);
    addLabelledRow(QStringLiteral("settings.microphone"), field, field->picker());
}
