#pragma once

#include "UI/Settings/SettingsSection.h"

// How the assistant takes turns and what it spends resources on: six switches. The
// grayscale filter can be changed only while camera gaze is on; it keeps its value meanwhile.
class BehaviorSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit BehaviorSection(AppContext& context, QWidget* parent = nullptr);
};
