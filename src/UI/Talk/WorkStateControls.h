#pragma once

#include "Support/Scheduler.h"
#include "UI/Models/TalkActions.h"

#include <QWidget>

struct AppContext;
class PillButton;
class PillRow;

// Clock in (or wake from a rest), rest for an hour and clock out. While resting, a badge with
// the rest's countdown stands in for the rest button. The primary button shows the window's
// Ctrl+Return hint. Each button calls one engine command; a click acts on the state as shown.
class WorkStateControls final : public QWidget {
    Q_OBJECT
public:
    explicit WorkStateControls(AppContext& context, QWidget* parent = nullptr);

    // The buttons' row, which the tile gives its name and phase to lead.
    PillRow& row() const { return *m_row; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void tickCountdown();

    AppContext& m_context;
    TalkActions m_actions;
    WorkState m_state;
    PillButton* m_clockIn;
    PillButton* m_rest;
    PillButton* m_resting;
    PillButton* m_clockOut;
    PillRow* m_row;
    SingleShot m_countdown;
};
