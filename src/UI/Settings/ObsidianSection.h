#pragma once

#include "UI/Settings/SettingsSection.h"

class QLabel;
class PlainTextLabel;

// The notes vault the assistant mirrors its records into: the vault folder (typed or chosen),
// the subfolder, what is mirrored, and a check of the folder each time its path changes
// (not when the section first shows).
class ObsidianSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit ObsidianSection(AppContext& context, QWidget* parent = nullptr);

    // Lets the user choose the vault folder and stores its path; a cancel changes nothing.
    void pickFolder();

private:
    void validate();

    QLabel* m_note;
    PlainTextLabel* m_validation;
};
