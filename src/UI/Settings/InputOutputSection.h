#pragma once

#include "UI/Settings/SettingsSection.h"

// The microphone the assistant listens to. There is no choice of output device.
class InputOutputSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit InputOutputSection(AppContext& context, QWidget* parent = nullptr);
};
