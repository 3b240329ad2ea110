#pragma once

#include "UI/Talk/CardFrame.h"

#include <QPointer>

struct AppContext;
class PlainTextLabel;
class QLabel;
class FilledButton;
class QPushButton;

// The consent card of a skill call waiting for the user: its summary, the question and a
// cancel and a proceed button, in the interface language. Escape cancels and
// Shift+Ctrl+Return proceeds while the card shows. When it appears the keyboard focus moves
// to it (to cancel, the choice that changes nothing), and when it goes the focus goes back
// to where it was.
class SkillConfirmCard final : public CardFrame {
    Q_OBJECT
public:
    explicit SkillConfirmCard(AppContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();

    AppContext& m_context;
    QLabel* m_symbol;
    PlainTextLabel* m_summary;
    QLabel* m_question;
    QPushButton* m_cancel;
    FilledButton* m_approve;
    QPointer<QWidget> m_focusBefore;
};
