#pragma once

#include "UI/Settings/SettingsSection.h"

class PlainTextLabel;
class QCheckBox;
class QPushButton;
class QShortcut;

// Software updates: the updater's two automatic switches (background downloads only while
// automatic checks are on), the time of the last check, and a check now (also Ctrl+Shift+U),
// possible only while the updater can check; otherwise the section says why. In a build that
// cannot check at all, automatic checks show off and cannot be switched on, and say why.
class UpdateSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit UpdateSection(AppContext& context, QWidget* parent = nullptr);

private:
    void followUpdater();

    QCheckBox* m_automaticChecks;
    PlainTextLabel* m_lastCheck;
    QPushButton* m_checkNow;
    QShortcut* m_shortcut;
    PlainTextLabel* m_cannotCheck;
};
