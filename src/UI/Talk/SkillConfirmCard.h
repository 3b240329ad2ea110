#pragma once

#include "UI/Talk/CardFrame.h"

struct AppContext;
class PlainTextLabel;
class QLabel;
class QPushButton;

// The consent card of a skill call waiting for the user: its summary with a cancel and a
// proceed button. Escape cancels and Shift+Ctrl+Return proceeds while the card shows.
class SkillConfirmCard final : public CardFrame {
    Q_OBJECT
public:
    explicit SkillConfirmCard(AppContext& context, QWidget* parent = nullptr);

private:
    void refresh();

    AppContext& m_context;
    QLabel* m_symbol;
    PlainTextLabel* m_summary;
    QLabel* m_question;
    QPushButton* m_cancel;
    QPushButton* m_approve;
};
