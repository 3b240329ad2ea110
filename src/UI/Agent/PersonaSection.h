#pragma once

#include "UI/Settings/SettingsSection.h"

// The assistant's name and persona: the persona files of the speech language (revealed in the
// file manager for editing, or reset to the built-in texts at once) and the catalog persona of
// each mode. The files follow the language code of the speech locale.
class PersonaSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit PersonaSection(AppContext& context, QWidget* parent = nullptr);

private:
    QString languageCode() const;
    // A persona file: its title, file name, a reveal button and its help text.
    void addFileRow(const QString& name, const QString& titleKey, const QString& helpKey,
                    QString (*path)(const QString& language));
};
