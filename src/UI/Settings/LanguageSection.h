#pragma once

#include "UI/Settings/SettingsSection.h"

class Picker;

// The languages: of the interface, of speech recognition, and the two of interpreter mode
// (what the user speaks, what the assistant answers in). The recognition pickers offer what
// the recognizer can recognize, the answer picker what the synthesizer can speak.
class LanguageSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit LanguageSection(AppContext& context, QWidget* parent = nullptr);

private:
    template <typename Getter, typename Setter, typename Signal>
    Picker* localePicker(const char* objectName, bool spoken, Getter get, Setter set, Signal changed);
};
