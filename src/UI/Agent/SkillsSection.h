#pragma once

#include "UI/Settings/SettingsSection.h"

// A switch per registered skill, in id order, with its name, a "⚠" for skills that ask before
// they act, and example requests. Switching one off adds its id to the disabled skills.
class SkillsSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit SkillsSection(AppContext& context, QWidget* parent = nullptr);
};
