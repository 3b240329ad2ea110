#pragma once

#include "UI/Settings/SettingsPage.h"

// The agent tab: what shapes the assistant itself (its look and voice, name and persona,
// memory and skills) in one scrolling column on the canvas colour.
class AgentTab final : public SettingsPage {
    Q_OBJECT
public:
    explicit AgentTab(AppContext& context, QWidget* parent = nullptr);
};
