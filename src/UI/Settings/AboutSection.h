#pragma once

#include "UI/Settings/SettingsSection.h"

class QToolButton;

// Who made the application, its version and build, and how to reach the maker: the support
// address (with a copy button), the website and the project's community pages, each opened
// with the desktop's own handler.
class AboutSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit AboutSection(AppContext& context, QWidget* parent = nullptr);

private:
    // A link that opens `address`: its text, after the symbol if one is given.
    QToolButton* link(const char* objectName, const QUrl& address, const QString& symbol = {});
};
