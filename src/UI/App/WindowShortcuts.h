#pragma once

#include "UI/Models/TalkActions.h"

#include <QObject>

struct AppContext;
class QWidget;

// The talk controls' keys, owned by the window so they work from every tab: Ctrl+Return
// (and Ctrl+Enter) presses the primary work-state button once, Ctrl+F fires, Ctrl+. stops
// the speech, Ctrl+K switches camera gaze. Each key does what its button would do now.
class WindowShortcuts final : public QObject {
    Q_OBJECT
public:
    WindowShortcuts(AppContext& context, QWidget& window);

private:
    TalkActions m_actions;
};
