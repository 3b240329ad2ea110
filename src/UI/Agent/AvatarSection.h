#pragma once

#include "UI/Settings/SettingsSection.h"

class Picker;

// How the assistant looks and sounds: the avatar style, the voice's gender, the voice among
// those installed for the speech language (with a hint when there are none, or none of the
// best quality), the portrait download and the user's own picture.
class AvatarSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit AvatarSection(AppContext& context, QWidget* parent = nullptr);

private:
    void fillStyles();
    void fillVoices();

    Picker* m_style;
    Picker* m_voice;
    PlainTextLabel* m_voiceHint;
};
