#pragma once

#include "UI/Settings/SettingsSection.h"

// Whether anonymous diagnostics may be sent, and the privacy statement of what is and is not.
class TelemetrySection final : public SettingsSection {
    Q_OBJECT
public:
    explicit TelemetrySection(AppContext& context, QWidget* parent = nullptr);
};
