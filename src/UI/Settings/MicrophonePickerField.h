#pragma once

#include "UI/Settings/LabelledRow.h"

struct AppContext;
class LocalizedTexts;
class Picker;

// The microphone picker: the system default input ("") and the input devices by name, read
// again each time the field is shown and when its refresh button is pressed (nothing else
// refreshes it). A stored device that is not connected stays stored, matching no entry.
class MicrophonePickerField final : public LabelledRow {
    Q_OBJECT
public:
    explicit MicrophonePickerField(AppContext& context, QWidget* parent = nullptr);

    Picker* picker() const { return m_picker; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    AppContext& m_context;
    LocalizedTexts* m_texts;
    Picker* m_picker;
};
