#pragma once

#include "UI/Settings/SettingsSection.h"

// The assistant's long-term memory file: what it is, and a button that shows it in the file
// manager for editing. The section never reads or writes it.
class MemorySection final : public SettingsSection {
    Q_OBJECT
public:
    explicit MemorySection(AppContext& context, QWidget* parent = nullptr);
};
