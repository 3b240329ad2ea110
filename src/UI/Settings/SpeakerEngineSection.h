#pragma once

#include "UI/Settings/SettingsSection.h"

// How speakers are told apart in minutes mode and where enrolled voices are kept: text only.
class SpeakerEngineSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit SpeakerEngineSection(AppContext& context, QWidget* parent = nullptr);
};
