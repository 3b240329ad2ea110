#pragma once

#include "Conversation/ConversationTurn.h"
#include "UI/Models/ChatContent.h"

#include <QWidget>

struct AppContext;
class BubbleText;
class QLabel;

// One turn of the chat: a header with the role (and "typing…" for the reply still being
// written), the text on its bubble, and a line of figures under it. Assistant bubbles hang
// on the left, the user's on the right, each leaving room on the other side. Updated in
// place as its text grows.
class ChatBubble final : public QWidget {
    Q_OBJECT
public:
    ChatBubble(AppContext& context, ConversationTurn::Role role, QWidget* parent = nullptr);

    void setBubble(const ChatContent::Bubble& bubble);
    // Labels, footer and colours again, for a new language, speech locale or appearance.
    void refresh();

    QString text() const;
    bool isPending() const { return m_bubble.pending; }

private:
    AppContext& m_context;
    ConversationTurn::Role m_role;
    ChatContent::Bubble m_bubble;
    QLabel* m_symbol;
    QLabel* m_roleLabel;
    QLabel* m_typing;
    BubbleText* m_text;
    QLabel* m_footer;
};
