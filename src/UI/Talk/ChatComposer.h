#pragma once

#include "UI/Talk/CardFrame.h"

struct AppContext;
class ComposerEdit;
class QLabel;
class PillButton;

// Types a turn instead of speaking it. Enter or the send button hands the draft, as typed,
// to the engine and clears the box whether or not the engine takes the turn; the button is
// off while the draft holds only spaces and tabs. While the assistant rests it takes no
// turn, so a draft sent then stays in the box, with a note under it on how to wake the
// assistant; the note goes when the rest ends.
class ChatComposer final : public CardFrame {
    Q_OBJECT
public:
    explicit ChatComposer(AppContext& context, QWidget* parent = nullptr);

    ComposerEdit& edit() { return *m_edit; }
    // Starts again with an empty draft.
    void restart();

private:
    void submit();
    void refresh();
    void followDraft();
    void followRest();

    AppContext& m_context;
    QLabel* m_symbol;
    ComposerEdit* m_edit;
    PillButton* m_send;
    QLabel* m_restingNote;
};
