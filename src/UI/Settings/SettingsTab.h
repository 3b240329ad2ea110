#pragma once

#include "UI/Settings/SettingsPage.h"

// The settings tab: every section of the application's settings in one scrolling column.
// Each control writes its setting at once; there is nothing to save.
class SettingsTab final : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsTab(AppContext& context, QWidget* parent = nullptr);
};
